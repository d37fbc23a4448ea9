#include "core/frame_clock.h"

double SongTime = 0.0;
double FrameDelta = 0.0;

void resetFrameClock()
{
    SongTime = 0.0;
    FrameDelta = 0.0;
}
