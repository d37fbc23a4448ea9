// The demo's whole state as one value: the state struct of every module, from
// the clock and controls up to the scenes and the shell. A snapshot is a copy,
// a restore one assignment:
//     const DemoState saved = currentDemoState();
//     ...
//     restoreDemoState(saved);
// Kept apart, and no part of it: the GL objects of the current context
// (GlResources, made per context by the scene set-up) and the models and
// images read from Data/ (LoadedAssets, read once).
#pragma once

#include "core/picture.h"
#include "core/random.h"
#include "effects/blobs.h"
#include "effects/colour_panel.h"
#include "effects/fountain.h"
#include "effects/heightfield_gen.h"
#include "effects/particles.h"
#include "effects/tunnel.h"
#include "effects/twin_cones.h"
#include "shell/shell_state.h"
#include "text/binary_ticker.h"
#include "text/volume_meter.h"
#include "timeline/end_scroller.h"
#include "timeline/flights.h"
#include "timeline/intro.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"
#include "timeline/timeline.h"

struct DemoState {
    // core (the clock and the controls are the shell's)
    RandomGenerator random;
    PictureTransform picture;
    // text
    TickerState ticker;
    VolumeMeterState meter;
    // effects
    ParticleState particles;
    BlobState blobs;
    ColourPanelState colourPanel;
    FountainState fountain;
    HeightFieldData heightField;
    TunnelState tunnel;
    TwinConeState twinCones;
    // timeline
    TimelineState timeline;
    IntroState intro;
    FlightState flight;
    MiddleSceneState middleScenes;
    EndScrollerState scroller;
    LayoutState layout;
    // shell
    ShellState shell;

    // Floats compare by value.

    bool operator==(const DemoState&) const = default;
};

// A copy of every module's state as it is now.
DemoState currentDemoState();
// Puts every module's state back to the given one.
void restoreDemoState(const DemoState& state);
