// The training room.
#include "app/training.h"

void runTrainingRoom(Stage*) {}
