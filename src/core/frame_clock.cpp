#include "core/frame_clock.h"

FrameClock Clock;
