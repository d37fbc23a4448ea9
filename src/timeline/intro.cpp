// Intro (not built yet).
#include "timeline/intro.h"

void runIntroFrame() {}
