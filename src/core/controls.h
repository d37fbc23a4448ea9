// The demo's running controls as every layer reads them: the song being
// played and the values the keyboard nudges. The shell writes them (start-up
// and its key table); the intro switches the song; the timeline ends the main
// song; the flights bank the camera.
#pragma once

#include "platform/platform.h"

extern bool MainSongActive;    // set by the intro's song switch, cleared by the end transition
extern plat::Song SongHandle;  // the song whose time and volume the timeline uses
extern float CameraRoll;       // degrees; keys A/D and the flight bank rule
extern float CameraPitch;      // degrees; keys Up/Down
extern int SceneOverride;      // key 1 sets 1: tunnel drawn on every main-part frame
extern int VuChannel;          // keys 2..6: channel driving the fountain floor flash
extern float SphereHeight;     // keys W/S: vertical offset of the fountain group

// All of them back to their program-start values.
void resetControls();
