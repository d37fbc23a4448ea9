// The blob field: a brute-force grid walk through the box around four
// charges, one sprite per sample point whose field lies in the band.
#include "effects/blobs.h"

#include "core/picture.h"

#include <GL/gl.h>

#include <cmath>

namespace {

struct Variant {
    double margin;      // added to the largest strength
    bool zFromBlobs;    // z starts at smallest z - m; otherwise at zStart
    double zStart;
    float halfSize;
    float colour[4];
};

constexpr Variant Glow{0.2, false, -1.0, 0.05f, {0.5f, 1.0f, 0.5f, 0.05f}};
constexpr Variant Cores{0.5, true, 0.0, 0.1f, {1.0f, 1.0f, 1.0f, 1.0f}};

int walkBlobField(const BlobSet& set, float step, const Variant& v)
{
    int drawn = 0;
    if (!(step > 0.0f)) return 0;

    const Blob* b = set.blobs;
    float lo[3] = {b[0].position[0], b[0].position[1], b[0].position[2]};
    float hi[3] = {lo[0], lo[1], lo[2]};
    float strongest = b[0].strength;
    for (int i = 0; i < BlobSet::blobCount; ++i) {
        for (int k = 0; k < 3; ++k) {
            if (b[i].position[k] > hi[k]) hi[k] = b[i].position[k];
            if (b[i].position[k] < lo[k]) lo[k] = b[i].position[k];
        }
        if (b[i].strength > strongest) strongest = b[i].strength;
    }
    const double m = strongest + v.margin;
    const double zStart = v.zFromBlobs ? lo[2] - m : v.zStart;

    glPointSize(scalePictureLength(5.0f));
    const float h = v.halfSize;
    for (double x = lo[0] - m; x < hi[0] + m; x += step) {
        for (double y = lo[1] - m; y < hi[1] + m; y += step) {
            for (double z = zStart; z < 0.0; z += step) {
                if (!inBlobBand(blobField(set, x, y, z))) continue;
                glColor4fv(v.colour);
                glPushMatrix();
                glTranslated(x, y, z);
                glBegin(GL_QUAD_STRIP);
                glTexCoord2f(1.0f, 1.0f);
                glVertex3f(h, h, 0.0f);
                glTexCoord2f(0.0f, 1.0f);
                glVertex3f(-h, h, 0.0f);
                glTexCoord2f(1.0f, 0.0f);
                glVertex3f(h, -h, 0.0f);
                glTexCoord2f(0.0f, 0.0f);
                glVertex3f(-h, -h, 0.0f);
                glEnd();
                glPopMatrix();
                ++drawn;
            }
        }
    }
    return drawn;
}

} // namespace

double blobField(const BlobSet& set, double x, double y, double z)
{
    double sum = 0.0;
    for (const Blob& b : set.blobs) {
        const double dx = b.position[0] - x;
        const double dy = b.position[1] - y;
        const double dz = b.position[2] - z;
        const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
        sum += b.strength / (d * d);
    }
    return 0.25 * sum;
}

bool inBlobBand(double field)
{
    return field >= 0.6 && field <= 1.0;
}

int drawBlobGlow(BlobSet& set, float step)
{
    return walkBlobField(set, step, Glow);
}

int drawBlobCores(BlobSet& set, float step)
{
    for (Blob& b : set.blobs) b.strength = 0.01f;
    return walkBlobField(set, step, Cores);
}
