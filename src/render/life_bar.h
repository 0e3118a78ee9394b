// The life gauges: a sliding bar under an overlay frame, with the class portrait.
#pragma once

struct Fighter;

// timeFactor: the frame's length in ticks, for the red flash's fading.
void drawLifeBar(Fighter& fighter, double timeFactor);
