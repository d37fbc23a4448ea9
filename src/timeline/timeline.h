// The per-frame director: song time, frame step, phase choice and the
// main-part schedule.
#pragma once

extern double SongTime;      // ms, play position of the current song, read once per frame
extern double FrameDelta;    // ms, SongTime minus that of the previous frame
extern bool IntroActive;     // while MainSongActive is false: intro (true) or end scroller
extern bool RenderPassDone;  // the one-time render-to-texture pass has run
extern float EndFade;        // grey level of the end transition, 0..1

// Draws one frame into the back buffer. Always true.
bool drawFrame();

// Name of the scene the last drawFrame drew, chosen at its start, for statistics:
// intro, flyRight, flyLeft, cones, tunnel, pentagram, sheet, fountain,
// endTransition, scroller ("main" on a boundary frame with no scene).
const char* currentSceneName();
