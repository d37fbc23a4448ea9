// The song clock as every layer reads it. drawFrame writes both once per
// frame; nothing else does.
#pragma once

extern double SongTime;    // ms, play position of the current song, read once per frame
extern double FrameDelta;  // ms, SongTime minus that of the previous frame

// Both back to 0, as at program start.
void resetFrameClock();
