// Blobs (not built yet).
#include "effects/blobs.h"

BlobSet GlowBlobs;
BlobSet CoreBlobs;
void drawBlobGlow(BlobSet&, float) {}
void drawBlobCores(BlobSet&, float) {}
