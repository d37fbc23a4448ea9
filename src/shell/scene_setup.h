// The one-time preparation that runs inside window creation: textures, fonts,
// effect tables, lights, quadrics, models and fog.
#pragma once

#include "core/gl_resources.h"  // made here in each context

// Sets Assets.ModelsRead once it has read the two models. A later set-up (in
// the new context after F1) keeps their geometry and materials and remakes
// their material textures; everything else it does again in full: the spark and
// flame pools and the height field are re-initialised (with new noise, since
// the shared random sequence has moved on), the meter and the fountain's
// camera eye reset, and the context's textures, lists, quadrics, lights and
// fog made anew. False only when the texture set fails to load.
bool SetUpScene();
