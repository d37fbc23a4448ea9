// The demo's running controls as every layer reads them: the song being
// played and the values the keyboard nudges. The shell writes them (start-up
// and its key table); the intro switches the song; the timeline ends the main
// song; the flights bank the camera.
#pragma once

#include "platform/platform.h"

struct ControlState {
    bool MainSongActive = false;  // set by the intro's song switch, cleared by the end transition
    plat::Song SongHandle = 0;    // the song whose time and volume the timeline uses
    float CameraRoll = 0.0f;      // degrees; keys A/D and the flight bank rule
    float CameraPitch = 0.0f;     // degrees; keys Up/Down
    int SceneOverride = 0;        // key 1 sets 1: tunnel drawn on every main-part frame
    int VuChannel = 4;            // keys 2..6: channel driving the fountain floor flash
    float SphereHeight = 0.18f;   // keys W/S: vertical offset of the fountain group

    bool operator==(const ControlState&) const = default;
};
extern ControlState Controls;
