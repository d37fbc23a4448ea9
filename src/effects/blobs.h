// Metaball field drawn as sprites where the field lies in a band.
#pragma once

struct Blob {
    float position[3];
    float strength;

    bool operator==(const Blob&) const = default;
};

struct BlobSet {
    static constexpr int blobCount = 4;
    Blob blobs[blobCount] = {
        {{-1.0f, 0.0f, 0.0f}, 0.5f},
        {{10.0f, 0.0f, 0.0f}, 0.5f},
        {{0.0f, 1.0f, 0.0f}, 0.5f},
        {{0.0f, 0.0f, 0.0f}, 0.5f},
    };

    bool operator==(const BlobSet&) const = default;
};

struct BlobState {
    BlobSet GlowBlobs;         // drawn by the credits-sheet scene
    BlobSet CoreBlobs;         // drawn in side panel 3

    bool operator==(const BlobState&) const = default;
};

// Both walk the grid of sample points below z = 0 around the set and draw a
// textured square wherever the field lies in the band, and return how many
// they drew. They use the texture, colour mask and blend function the caller
// set, and leave the matrix as found.
// The step must be positive (a step of 0 or less draws nothing).
int drawBlobGlow(BlobSet& set, float step);   // faint green shell, squares of half size 0.05
int drawBlobCores(BlobSet& set, float step);  // sets every strength to 0.01 for good first

// 0.25 x sum of strength / distance^2; infinite (or undefined) at a centre.
double blobField(const BlobSet& set, double x, double y, double z);
// The band that gets a sprite: 0.6 to 1.0, both ends included.
bool inBlobBand(double field);
