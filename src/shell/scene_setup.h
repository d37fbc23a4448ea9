// The one-time preparation that runs inside window creation: textures, fonts,
// effect tables, lights, quadrics, models and fog.
#pragma once

#include "core/gl_resources.h"  // made here in each context

// The first set-up reads Data/ into Assets: the texture set, the two models
// and their material images. A later one (in the new context after F1) reads
// none of it again and makes the context's textures from Assets; everything
// else it does again in full: the spark and flame pools and the height field
// are re-initialised (with new noise, since the shared random sequence has
// moved on), the meter and the fountain's camera eye reset, and the context's
// lists, quadrics, lights and fog made anew. False only when the texture set
// fails to load.
bool SetUpScene();
