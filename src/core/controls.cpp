#include "core/controls.h"

ControlState Controls;
