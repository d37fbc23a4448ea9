#include "core/gl_resources.h"

GlResources Gl;
