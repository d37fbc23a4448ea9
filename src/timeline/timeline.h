// The per-frame director: song time, frame step, phase choice and the
// main-part schedule.
#pragma once

#include "core/frame_clock.h"  // SongTime and FrameDelta, written here once per frame

struct TimelineState {
    bool IntroActive = true;           // while MainSongActive is false: intro (true) or end scroller
    bool RenderPassDone = false;       // the one-time render-to-texture pass has run
    float EndFade = 0.0f;              // grey level of the end transition, 0..1
    const char* FrameScene = "intro";  // scene of the last drawFrame (see currentSceneName)

    bool operator==(const TimelineState&) const = default;
};
extern TimelineState Timeline;

// Draws one frame into the back buffer. Always true.
bool drawFrame();
// Leaves `ms` of song time that played outside any frame (a new window's
// set-up) out of the next frame's FrameDelta and steps: the motions go on
// from where they stood instead of jumping over it.
void leaveOutOfFrameClock(double ms);

// Name of the scene the last drawFrame drew, chosen at its start, for statistics:
// intro, flyRight, flyLeft, cones, tunnel, pentagram, sheet, fountain,
// endTransition, scroller ("main" on a boundary frame with no scene).
const char* currentSceneName();
// The phase now: "main" while the main song plays, else "intro" or "end".
const char* currentPhaseName();

// The rows of the main part's schedule that draw at song time t (ms).
enum MainPartRow : unsigned {
    RowFlyRight = 1u << 0,
    RowFlyLeft = 1u << 1,
    RowCones = 1u << 2,
    RowTunnel = 1u << 3,
    RowPentagram = 1u << 4,
    RowSheet = 1u << 5,
    RowFountain = 1u << 6,
    RowFadeIn = 1u << 7,
    RowEndTransition = 1u << 8,
};
unsigned mainPartRows(double t, int sceneOverride);

// The picture of one main-part frame with the given rows at SongTime: panels,
// scenes, frame and the fade-in or end-transition quad. The music volume and
// the end transition's step are drawMainPart's, not drawn here.
void drawMainPartPicture(unsigned rows);

// Master volume the fade-in leaves at song time t (ms), t < 10000.
int fadeInVolume(double t);
