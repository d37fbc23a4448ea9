// The animation state of everything the timeline draws, as one value: the
// state struct of each module, from the shared random generator up to the
// scenes. drawFrame changes it and nothing else of the demo's state; the
// shell owns the one instance (DemoState, shell/demo_state.h). A copy is a
// separate demo: drawing on it leaves the original as it was.
// Kept apart, and no part of it: the GL objects of the current context
// (GlResources) and the models and images read from Data/ (LoadedAssets).
#pragma once

#include "core/random.h"
#include "effects/blobs.h"
#include "effects/colour_panel.h"
#include "effects/fountain.h"
#include "effects/heightfield_gen.h"
#include "effects/particles.h"
#include "effects/tunnel.h"
#include "effects/twin_cones.h"
#include "text/binary_ticker.h"
#include "text/volume_meter.h"
#include "timeline/end_scroller.h"
#include "timeline/flights.h"
#include "timeline/intro.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"
#include "timeline/timeline.h"

struct AnimationState {
    // core
    RandomGenerator random;
    // text
    TickerState ticker;
    VolumeMeterState meter;
    // effects
    ParticleState particles;
    BlobState blobs;
    ColourPanelState colourPanel;
    FountainState fountain;
    HeightFieldData heightField;  // built once by the scene set-up
    TunnelState tunnel;
    TwinConeState twinCones;
    // timeline
    TimelineState timeline;
    IntroState intro;
    FlightState flight;
    MiddleSceneState middleScenes;
    EndScrollerState scroller;
    LayoutState layout;

    // Floats compare by value.
    bool operator==(const AnimationState&) const = default;
};
