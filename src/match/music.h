// The music: the menu's and each stage's, each decoded once and kept while it may come again
// (decoding a track takes longer than a match's whole set-up may). A match stops the menu's
// music and plays its stage's; its end does the other way round.
#pragma once

struct Stage;

void playMenuMusic(); // decoded when missing, played looped (with music on)
void stopMenuMusic(); // kept decoded
// The stage's music and intro, decoded when missing; the other stages' are let go.
void loadStageMusic(const Stage& stage);
void stopStageMusic(const Stage& stage); // kept decoded for the next match there
