// The training room's panels: its keys with their states, player one's input history, the
// frame data of its last attack, the damage of its hits and the combo count, and the hit
// masks and bodies of both fighters.
#pragma once

struct FightState;
struct TrainingRoom;

void drawTrainingPanels(const FightState& fight, const TrainingRoom& room);
void resetTrainingPanelSprites(); // forgets the sprite numbers (a new run)
