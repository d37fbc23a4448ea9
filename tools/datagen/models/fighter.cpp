// The fighter: a lofted fuselage with a bubble canopy, cranked delta wings,
// tailplanes, twin canted fins and two engine nozzles. Each part
// is a closed shell; they meet by overlapping. Texture coordinates are
// reflection coordinates for the chrome picture the demo draws it with.
#include "datagen/models/models.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace datagen {

namespace {

constexpr int Around = 16;  // points around the fuselage

// Fuselage section at z: half width, height above and below the centre line.
struct Section {
    float z, halfWidth, top, bottom, centre;
};

std::vector<Vec3> sectionRing(const Section& s)
{
    std::vector<Vec3> ring;
    for (int j = 0; j < Around; ++j) {
        const float a = float(j) * 2.0f * float(M_PI) / Around;
        const float c = std::cos(a), sn = std::sin(a);
        // Slightly boxy section: a superellipse.
        const float x = s.halfWidth * std::copysign(std::pow(std::fabs(c), 0.8f), c);
        const float h = sn > 0 ? s.top : s.bottom;
        const float y = s.centre + h * std::copysign(std::pow(std::fabs(sn), 0.8f), sn);
        ring.push_back({x, y, s.z});
    }
    return ring;
}

Mesh fuselage()
{
    const Section sections[] = {
        {-0.270f, 0.010f, 0.010f, 0.008f, -0.004f}, {-0.235f, 0.020f, 0.019f, 0.016f, -0.002f},
        {-0.190f, 0.030f, 0.028f, 0.024f, 0.000f},  {-0.130f, 0.040f, 0.036f, 0.030f, 0.002f},
        {-0.070f, 0.050f, 0.040f, 0.034f, 0.002f},  {0.000f, 0.058f, 0.040f, 0.036f, 0.002f},
        {0.080f, 0.062f, 0.038f, 0.036f, 0.002f},   {0.160f, 0.060f, 0.034f, 0.034f, 0.002f},
        {0.215f, 0.057f, 0.031f, 0.031f, 0.002f},   {0.250f, 0.055f, 0.029f, 0.029f, 0.002f},
    };
    std::vector<std::vector<Vec3>> rings{{{0, -0.006f, -0.300f}}};  // the nose tip
    for (const Section& s : sections) rings.push_back(sectionRing(s));
    return loft(rings);
}

Mesh canopy()
{
    // A dome over a short cone that sinks into the fuselage, turned about
    // its axis and then stretched along the fuselage.
    std::vector<ProfilePoint> profile = {{0, -0.6f}, {0.85f, -0.25f}};
    for (int i = 0; i <= 6; ++i) {
        const float a = float(M_PI / 2 * i / 6);
        profile.push_back({i == 6 ? 0.0f : std::cos(a), std::sin(a)});
    }
    Mesh m = lathe(profile, 16);
    // The profile's axis (y) becomes the fuselage's axis (z).
    for (Vec3& p : m.positions) p = {p.x, p.z, p.y};
    m.flip();
    m.transform({0.021f, 0.026f, 0.080f}, {0, 0.030f, -0.120f});
    return m;
}

// A lifting surface through airfoil sections given by leading and trailing
// edge points and thicknesses, root first.
Mesh surface(std::initializer_list<std::tuple<Vec3, Vec3, float>> sections, Vec3 side)
{
    std::vector<std::vector<Vec3>> rings;
    for (const auto& [le, te, t] : sections) rings.push_back(airfoilRing(le, te, side, t, 5));
    return loft(rings);
}

Mesh mirrored(const Mesh& m)
{
    Mesh copy = m;
    copy.transform({-1, 1, 1}, {});
    return copy;
}

Mesh nozzle(float x)
{
    Mesh m = lathe({{0, 0.225f}, {0.025f, 0.225f}, {0.027f, 0.262f}, {0.023f, 0.308f, true},
                    {0.0185f, 0.308f, true}, {0.0195f, 0.282f}, {0, 0.282f}},
                   14);
    // Turn the lathe's y axis into z and move it beside the centre line.
    for (Vec3& p : m.positions) p = {p.x + x, p.z + 0.002f, p.y};
    m.flip();
    return m;
}

} // namespace

Mesh makeFighter()
{
    Mesh m = fuselage();
    m.append(canopy());
    // Mid-set wings with a little anhedral.
    const Mesh wing = surface({{{0.030f, 0.012f, -0.090f}, {0.030f, 0.012f, 0.200f}, 0.020f},
                               {{0.120f, 0.009f, 0.030f}, {0.120f, 0.009f, 0.205f}, 0.010f},
                               {{0.250f, 0.002f, 0.150f}, {0.250f, 0.002f, 0.215f}, 0.005f}},
                              {0, 1, 0});
    m.append(wing);
    m.append(mirrored(wing));
    const Mesh tailplane = surface({{{0.040f, 0.012f, 0.150f}, {0.040f, 0.012f, 0.262f}, 0.008f},
                                    {{0.135f, 0.008f, 0.225f}, {0.135f, 0.008f, 0.272f}, 0.004f}},
                                   {0, 1, 0});
    m.append(tailplane);
    m.append(mirrored(tailplane));
    // Fins canted outwards by about 20 degrees.
    const Vec3 finSide{0.94f, -0.34f, 0};
    const Mesh fin = surface({{{0.038f, 0.015f, 0.090f}, {0.038f, 0.015f, 0.240f}, 0.010f},
                              {{0.074f, 0.115f, 0.200f}, {0.074f, 0.115f, 0.262f}, 0.005f}},
                             finSide);
    m.append(fin);
    m.append(mirrored(fin));
    m.append(nozzle(0.028f));
    m.append(nozzle(-0.028f));
    // Centre the whole on the origin.
    const MeshReport r = inspectMesh(m);
    m.transform({1, 1, 1}, (r.boundsMin + r.boundsMax) * -0.5f);
    // Seen from behind and a little above, as in the flights.
    bakeReflectionCoords(m, normalise({0, -0.25f, -1}));
    return m;
}

} // namespace datagen
