// The life gauges: a sliding bar under an overlay frame, with the class portrait.
#pragma once

struct Fighter;

// As the fight step left it (its red flash included).
void drawLifeBar(const Fighter& fighter);
