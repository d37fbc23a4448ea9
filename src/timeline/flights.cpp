// Flights (not built yet).
#include "timeline/flights.h"

void flyRight() {}
void flyLeft(double) {}
