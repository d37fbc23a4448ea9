#include "datagen/textures/recipes.h"
namespace datagen {
#define STUB(n, w, h) Image n() { return Image(w, h); }
STUB(makePentagram,256,256) STUB(makeMeterBar,256,64) STUB(makeCrate,128,128) STUB(makeWater,256,256)
STUB(makeGlowSprite,64,64) STUB(makeDroplet,64,64) STUB(makeCreditsSheet,512,512) STUB(makeChrome,256,256)
STUB(makeFloorTiles,512,512) STUB(makeScrollerBackdrop,1024,1024)
}
