// The demo's whole state gathered from its modules and put back into them.
#include "shell/demo_state.h"

DemoState currentDemoState()
{
    return DemoState{Random, Picture, Ticker, Meter, Particles, Blobs, ColourPanel, Fountain,
                     HeightField, Tunnel, TwinCones, Timeline, Intro, Flight, MiddleScenes, Scroller, Layout, Shell};
}

void restoreDemoState(const DemoState& state)
{
    Random = state.random;
    restorePictureTransform(state.picture);
    Ticker = state.ticker;
    Meter = state.meter;
    Particles = state.particles;
    Blobs = state.blobs;
    ColourPanel = state.colourPanel;
    Fountain = state.fountain;
    HeightField = state.heightField;
    Tunnel = state.tunnel;
    TwinCones = state.twinCones;
    Timeline = state.timeline;
    Intro = state.intro;
    Flight = state.flight;
    MiddleScenes = state.middleScenes;
    Scroller = state.scroller;
    Layout = state.layout;
    Shell = state.shell;
}
