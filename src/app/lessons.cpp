// The lessons.
#include "app/lessons.h"

void runLessons() {}
