// Metaball field drawn as sprites where the field lies in a band.
#pragma once

struct Blob {
    float position[3];
    float strength;
};

struct BlobSet {
    static constexpr int blobCount = 4;
    Blob blobs[blobCount] = {
        {{-1.0f, 0.0f, 0.0f}, 0.5f},
        {{10.0f, 0.0f, 0.0f}, 0.5f},
        {{0.0f, 1.0f, 0.0f}, 0.5f},
        {{0.0f, 0.0f, 0.0f}, 0.5f},
    };
};

extern BlobSet GlowBlobs;  // drawn by the credits-sheet scene
extern BlobSet CoreBlobs;  // drawn in side panel 3

void drawBlobGlow(BlobSet& set, float step);
void drawBlobCores(BlobSet& set, float step);
