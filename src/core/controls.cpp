#include "core/controls.h"

bool MainSongActive = false;
plat::Song SongHandle = 0;
float CameraRoll = 0.0f;
float CameraPitch = 0.0f;
int SceneOverride = 0;
int VuChannel = 4;
float SphereHeight = 0.18f;

void resetControls()
{
    MainSongActive = false;
    SongHandle = 0;
    CameraRoll = 0.0f;
    CameraPitch = 0.0f;
    SceneOverride = 0;
    VuChannel = 4;
    SphereHeight = 0.18f;
}
