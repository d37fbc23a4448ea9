// The demo's running controls: the song being played and the values the
// keyboard nudges. The shell keeps them (ShellState::Controls) and is their
// one writer: its start-up, its key table, the song switch the intro asks
// for, and what drawFrame hands back (the flights' bank, the end of the main
// song). The frame reads a copy of them in its FrameInput.
#pragma once

#include "platform/platform.h"

struct ControlState {
    bool MainSongActive = false;  // set by the song switch, cleared when the end transition is over
    plat::Song SongHandle = 0;    // the song whose time and volume the timeline uses
    float CameraRoll = 0.0f;      // degrees; keys A/D and the flight bank rule
    float CameraPitch = 0.0f;     // degrees; keys Up/Down
    int SceneOverride = 0;        // key 1 sets 1: tunnel drawn on every main-part frame
    int VuChannel = 4;            // keys 2..6: channel driving the fountain floor flash
    float SphereHeight = 0.18f;   // keys W/S: vertical offset of the fountain group

    bool operator==(const ControlState&) const = default;
};
