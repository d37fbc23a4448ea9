#include "assets/loaded_assets.h"

LoadedAssets Assets;
