// Process-wide control values of the demo shell: keys, window flags, the
// current song and the parameters the keyboard nudges.
#pragma once

#include "platform/platform.h"

extern bool KeyState[256];     // by virtual-key code; window events set/clear, the loop clears F1
extern bool FullScreen;        // start question, F1 toggle, window creation
extern bool WindowActive;      // false only while the window is minimised
extern bool MainSongActive;    // set by the intro's song switch, cleared by the end transition
extern plat::Song SongHandle;  // the song whose time and volume the timeline uses
extern float CameraRoll;       // degrees; keys A/D and the flight bank rule
extern float CameraPitch;      // degrees; keys Up/Down
extern int SceneOverride;      // key 1 sets 1: tunnel drawn on every main-part frame
extern int VuChannel;          // keys 2..6: channel driving the fountain floor flash
extern float SphereHeight;     // keys W/S: vertical offset of the fountain group

// Entry of the demo: start question, window, music, main loop, shutdown.
// Returns the exit code.
int runDemo();

// One pass of the parameter-key table, in its fixed order.
void pollParameterKeys();
