// The one-time preparation that runs inside window creation: textures, fonts,
// effect tables, lights, quadrics, models and fog.
#pragma once

#include "core/quadrics.h"  // SphereQuadric and ConeQuadric, made here in each context

// True once a set-up has made the data that no GL context owns: particle pools,
// height field, meter state, model geometry and materials. A later set-up (in
// the new context after F1) keeps that data, so the landscape and the shared
// random sequence stay as they were, and remakes only what the context owned:
// textures, display lists, quadrics, lights, fog and GL state.
extern bool SceneDataReady;

// False only when the texture set fails to load.
bool SetUpScene();
