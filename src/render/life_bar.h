// The life gauges: a sliding bar under an overlay frame, with the class portrait.
#pragma once

struct Fighter;

void drawLifeBar(Fighter& fighter);
