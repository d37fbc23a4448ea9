// The per-frame director: song time, frame step, phase choice and the
// main-part schedule.
#pragma once

#include "core/frame_clock.h"  // written here, once per frame
#include "core/frame_input.h"
#include "timeline/intro.h"      // FrameRequest

#include <limits>

struct TimelineState {
    bool IntroActive = true;           // while MainSongActive is false: intro (true) or end scroller
    bool RenderPassDone = false;       // the one-time render-to-texture pass has run
    float EndFade = 0.0f;              // grey level of the end transition, 0..1
    // Name of the scene the last drawFrame drew, chosen at its start, for
    // statistics: intro, flyRight, flyLeft, cones, tunnel, pentagram, sheet,
    // fountain, endTransition, scroller ("main" on a boundary frame with no scene).
    const char* FrameScene = "intro";

    bool operator==(const TimelineState&) const = default;
};

struct AnimationState;

// Draws one frame into the back buffer: reads the song time into `clock`,
// builds the frame's input from it and the controls, draws from and into the
// animation state, and says what the main loop must do before presenting the
// frame.
FrameRequest drawFrame(AnimationState& state, FrameClock& clock, const ControlState& controls);
// The timeline's part of the switch to the main song, after the question's
// pause: the intro finished (finishIntro) and the clock counting the new song
// from 0. The caller starts the song.
void beginMainSong(FrameClock& clock);
// Leaves `ms` of song time that played outside any frame (a new window's
// set-up) out of the next frame's FrameDelta and steps: the motions go on
// from where they stood instead of jumping over it.
void leaveOutOfFrameClock(FrameClock& clock, double ms);

// The phase now: "main" while the main song plays, else "intro" or "end".
const char* currentPhaseName(const TimelineState& timeline, const ControlState& controls);

// The rows of the main part's schedule.
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

// The main part's schedule, the one place that holds its times. A row draws
// while the main song's time lies inside its window, open at both ends: at
// exactly 10000, 26500, ... no scene draws.
struct ScheduleRow {
    MainPartRow row;
    const char* scene;  // the frame's name for statistics; nullptr: the fade-in names no frame
    double fromMs;
    double toMs;
    double sampleMs;    // a time inside the window, where the warm-up draws the row
};
inline constexpr double NoEndMs = std::numeric_limits<double>::infinity();
// In the order the scenes come; a frame is named after its first named row.
inline constexpr ScheduleRow MainPartSchedule[] = {
    {RowFadeIn, nullptr, -NoEndMs, 10000.0, 0.0},
    {RowFlyRight, "flyRight", 0.0, 10000.0, 5000.0},
    {RowFlyLeft, "flyLeft", 10000.0, 26500.0, 18000.0},
    {RowCones, "cones", 26500.0, 42000.0, 34000.0},
    {RowTunnel, "tunnel", 42000.0, 55000.0, 48000.0},
    {RowPentagram, "pentagram", 55000.0, 70000.0, 62000.0},
    {RowSheet, "sheet", 70000.0, 82500.0, 76000.0},
    {RowFountain, "fountain", 82500.0, 120000.0, 100000.0},
    {RowEndTransition, "endTransition", 120000.0, NoEndMs, 121000.0},
};

// The rows of the schedule that draw at song time t (ms); sceneOverride 1
// (key 1) adds the tunnel.
unsigned mainPartRows(double t, int sceneOverride);

// The picture of one main-part frame with the given rows: panels, scenes,
// frame and the fade-in or end-transition quad. The music volume and the end
// transition's step are drawMainPart's, not drawn here. `roll` as for the flights.
void drawMainPartPicture(AnimationState& state, unsigned rows, const FrameInput& in, float& roll);

// Master volume the fade-in leaves at song time t (ms), t < 10000.
int fadeInVolume(double t);
