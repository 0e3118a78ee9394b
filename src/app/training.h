// The training room: a fight without intro, time limit or end, against a dummy whose
// behaviour the player chooses, with panels that show what happens frame by frame.
#pragma once

struct Stage;

// Runs the training room with both players as they stand (classes and stances chosen) on a
// stage, until Escape.
void runTrainingRoom(Stage* stage);
