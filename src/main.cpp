// The game executable: everything happens in start-up and the main state loop.
#include "app/startup.h"

int main() { startProgram(); }
