// Mesh builders, checks and the OBJ writer.
#include "datagen/common/mesh.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <tuple>

namespace datagen {

void Mesh::append(const Mesh& other)
{
    const int base = int(positions.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    texCoords.insert(texCoords.end(), other.texCoords.begin(), other.texCoords.end());
    for (int i : other.triangles) triangles.push_back(i + base);
}

void Mesh::transform(Vec3 scale, Vec3 offset)
{
    for (Vec3& p : positions) p = {p.x * scale.x + offset.x, p.y * scale.y + offset.y, p.z * scale.z + offset.z};
    if (scale.x * scale.y * scale.z < 0) flip();
}

void Mesh::flip()
{
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) std::swap(triangles[i + 1], triangles[i + 2]);
}

namespace {

float signedVolume(const Mesh& m)
{
    double v = 0;
    for (std::size_t i = 0; i + 2 < m.triangles.size(); i += 3) {
        const Vec3 a = m.positions[std::size_t(m.triangles[i])], b = m.positions[std::size_t(m.triangles[i + 1])],
                   c = m.positions[std::size_t(m.triangles[i + 2])];
        v += double(dot(a, cross(b, c)));
    }
    return float(v / 6.0);
}

void orientOutward(Mesh& m)
{
    if (signedVolume(m) < 0) m.flip();
}

// Adds the band between two rings of equal size (or an apex and a ring).
void bridge(Mesh& m, const std::vector<int>& a, const std::vector<int>& b)
{
    if (a.size() == 1) {
        for (std::size_t j = 0; j < b.size(); ++j) m.addTriangle(a[0], b[(j + 1) % b.size()], b[j]);
        return;
    }
    if (b.size() == 1) {
        for (std::size_t j = 0; j < a.size(); ++j) m.addTriangle(a[j], a[(j + 1) % a.size()], b[0]);
        return;
    }
    for (std::size_t j = 0; j < a.size(); ++j) {
        const std::size_t k = (j + 1) % a.size();
        m.addTriangle(a[j], a[k], b[k]);
        m.addTriangle(a[j], b[k], b[j]);
    }
}

std::vector<int> addRing(Mesh& m, const std::vector<Vec3>& ring)
{
    std::vector<int> ids;
    for (const Vec3& p : ring) ids.push_back(m.addVertex(p));
    return ids;
}

// Flat cap over a ring: a fan from its centre, on fresh vertices.
void cap(Mesh& m, const std::vector<Vec3>& ring, bool reverse)
{
    Vec3 centre;
    for (const Vec3& p : ring) centre = centre + p;
    centre = centre * (1.0f / float(ring.size()));
    const std::vector<int> ids = addRing(m, ring);
    const int c = m.addVertex(centre);
    for (std::size_t j = 0; j < ids.size(); ++j) {
        const int a = ids[j], b = ids[(j + 1) % ids.size()];
        if (reverse)
            m.addTriangle(c, b, a);
        else
            m.addTriangle(c, a, b);
    }
}

} // namespace

Mesh lathe(const std::vector<ProfilePoint>& profile, int segments)
{
    Mesh m;
    auto ringAt = [&](const ProfilePoint& p) {
        std::vector<Vec3> ring;
        if (p.r <= 0) return std::vector<Vec3>{{0, p.y, 0}};
        for (int s = 0; s < segments; ++s) {
            const float a = float(s) * 2.0f * float(M_PI) / float(segments);
            ring.push_back({p.r * std::cos(a), p.y, p.r * std::sin(a)});
        }
        return ring;
    };
    std::vector<int> previous = addRing(m, ringAt(profile.front()));
    for (std::size_t k = 1; k < profile.size(); ++k) {
        const std::vector<int> current = addRing(m, ringAt(profile[k]));
        bridge(m, previous, current);
        // At a crease the next band starts on a ring of its own.
        previous = (profile[k].crease && profile[k].r > 0) ? addRing(m, ringAt(profile[k])) : current;
    }
    orientOutward(m);
    return m;
}

Mesh loft(const std::vector<std::vector<Vec3>>& rings)
{
    Mesh m;
    std::vector<int> previous = addRing(m, rings.front());
    for (std::size_t k = 1; k < rings.size(); ++k) {
        const std::vector<int> current = addRing(m, rings[k]);
        bridge(m, previous, current);
        previous = current;
    }
    // The bands face outwards when the rings turn counter-clockwise about the
    // direction of travel; the caps are wound to match, and the whole is
    // turned round if the rings turn the other way.
    if (rings.front().size() > 1) cap(m, rings.front(), true);
    if (rings.back().size() > 1) cap(m, rings.back(), false);
    orientOutward(m);
    return m;
}

std::vector<Vec3> airfoilRing(Vec3 le, Vec3 te, Vec3 side, float thickness, int stations)
{
    // Symmetric section, closed at the trailing edge.
    auto half = [&](float c) {
        return 5.0f * thickness *
               (0.2969f * std::sqrt(c) - 0.126f * c - 0.3516f * c * c + 0.2843f * c * c * c - 0.1036f * c * c * c * c);
    };
    std::vector<Vec3> ring;
    ring.push_back(te);
    for (int i = stations; i >= 1; --i) {
        const float c = std::pow(float(i) / float(stations + 1), 1.6f);
        ring.push_back(lerp(le, te, c) + side * half(c));
    }
    ring.push_back(le);
    for (int i = 1; i <= stations; ++i) {
        const float c = std::pow(float(i) / float(stations + 1), 1.6f);
        ring.push_back(lerp(le, te, c) - side * half(c));
    }
    return ring;
}

std::vector<Vec3> vertexNormals(const Mesh& mesh)
{
    std::vector<Vec3> sum(mesh.positions.size());
    for (std::size_t i = 0; i + 2 < mesh.triangles.size(); i += 3) {
        const int a = mesh.triangles[i], b = mesh.triangles[i + 1], c = mesh.triangles[i + 2];
        const Vec3 n = cross(mesh.positions[std::size_t(b)] - mesh.positions[std::size_t(a)],
                             mesh.positions[std::size_t(c)] - mesh.positions[std::size_t(a)]);
        for (int v : {a, b, c}) sum[std::size_t(v)] = sum[std::size_t(v)] + n;
    }
    for (Vec3& n : sum) n = normalise(n);
    return sum;
}

void bakeReflectionCoords(Mesh& mesh, Vec3 eye)
{
    // Build an eye frame whose -z is the view direction, as GL's sphere map expects.
    const Vec3 back = normalise(eye * -1.0f);
    const Vec3 right = normalise(cross({0, 1, 0}, back));
    const Vec3 up = cross(back, right);
    const std::vector<Vec3> normals = vertexNormals(mesh);
    for (std::size_t i = 0; i < normals.size(); ++i) {
        const Vec3 n{dot(normals[i], right), dot(normals[i], up), dot(normals[i], back)};
        // Reflect the view ray (0, 0, -1): r = e - 2 (n . e) n.
        const Vec3 r = Vec3{0, 0, -1} + n * (2.0f * n.z);
        const float m = 2.0f * std::sqrt(r.x * r.x + r.y * r.y + (r.z + 1) * (r.z + 1));
        mesh.texCoords[i] = m > 0 ? Vec2{r.x / m + 0.5f, r.y / m + 0.5f} : Vec2{0.5f, 0.5f};
    }
}

MeshReport inspectMesh(const Mesh& mesh)
{
    MeshReport rep;
    // Weld positions.
    std::map<std::tuple<long, long, long>, int> keys;
    std::vector<int> weld(mesh.positions.size());
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const Vec3 p = mesh.positions[i];
        const auto key = std::make_tuple(std::lround(p.x * 1e5f), std::lround(p.y * 1e5f), std::lround(p.z * 1e5f));
        weld[i] = keys.emplace(key, int(keys.size())).first->second;
    }
    // Directed edges must pair with their reverse exactly once.
    std::map<std::pair<int, int>, int> edges;
    rep.minTriangleArea = 1e30f;
    for (std::size_t i = 0; i + 2 < mesh.triangles.size(); i += 3) {
        const int v[3] = {weld[std::size_t(mesh.triangles[i])], weld[std::size_t(mesh.triangles[i + 1])],
                          weld[std::size_t(mesh.triangles[i + 2])]};
        for (int e = 0; e < 3; ++e) ++edges[{v[e], v[(e + 1) % 3]}];
        const Vec3 a = mesh.positions[std::size_t(mesh.triangles[i])], b = mesh.positions[std::size_t(mesh.triangles[i + 1])],
                   c = mesh.positions[std::size_t(mesh.triangles[i + 2])];
        rep.minTriangleArea = std::min(rep.minTriangleArea, 0.5f * length(cross(b - a, c - a)));
    }
    rep.closed = !edges.empty();
    for (const auto& [e, n] : edges) {
        const auto back = edges.find({e.second, e.first});
        if (n != 1 || back == edges.end() || back->second != 1) rep.closed = false;
    }
    // Shells: union of welded vertices along triangles.
    std::vector<int> parent(keys.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[std::size_t(x)] != x) x = parent[std::size_t(x)] = parent[std::size_t(parent[std::size_t(x)])];
        return x;
    };
    for (std::size_t i = 0; i + 2 < mesh.triangles.size(); i += 3)
        for (int e = 1; e < 3; ++e)
            parent[std::size_t(find(weld[std::size_t(mesh.triangles[i + std::size_t(e)])]))] =
                find(weld[std::size_t(mesh.triangles[i])]);
    std::map<int, double> volume;
    for (std::size_t i = 0; i + 2 < mesh.triangles.size(); i += 3) {
        const Vec3 a = mesh.positions[std::size_t(mesh.triangles[i])], b = mesh.positions[std::size_t(mesh.triangles[i + 1])],
                   c = mesh.positions[std::size_t(mesh.triangles[i + 2])];
        volume[find(weld[std::size_t(mesh.triangles[i])])] += double(dot(a, cross(b, c))) / 6.0;
    }
    rep.shells = int(volume.size());
    for (const auto& [root, v] : volume)
        if (v <= 0) ++rep.inwardShells;
    if (!mesh.positions.empty()) {
        rep.boundsMin = rep.boundsMax = mesh.positions.front();
        for (const Vec3& p : mesh.positions) {
            rep.boundsMin = {std::min(rep.boundsMin.x, p.x), std::min(rep.boundsMin.y, p.y), std::min(rep.boundsMin.z, p.z)};
            rep.boundsMax = {std::max(rep.boundsMax.x, p.x), std::max(rep.boundsMax.y, p.y), std::max(rep.boundsMax.z, p.z)};
        }
    }
    return rep;
}

std::string objText(const Mesh& mesh, const char* name)
{
    // The reader takes its index offset from the first face: make it start
    // at vertex 1 by moving a triangle that uses vertex 0 to the front.
    std::vector<int> tris = mesh.triangles;
    for (std::size_t i = 0; i + 2 < tris.size(); i += 3) {
        const auto at = std::find(tris.begin() + long(i), tris.begin() + long(i) + 3, 0);
        if (at == tris.begin() + long(i) + 3) continue;
        std::rotate(tris.begin() + long(i), at, tris.begin() + long(i) + 3);
        std::swap_ranges(tris.begin(), tris.begin() + 3, tris.begin() + long(i));
        break;
    }
    std::string out = "# " + std::string(name) + ": " + std::to_string(mesh.positions.size()) + " vertices, " +
                      std::to_string(tris.size() / 3) + " triangles\no " + name + "\n";
    char line[96];
    for (const Vec3& p : mesh.positions) {
        std::snprintf(line, sizeof line, "v %.5f %.5f %.5f\n", double(p.x), double(p.y), double(p.z));
        out += line;
    }
    for (const Vec2& t : mesh.texCoords) {
        std::snprintf(line, sizeof line, "vt %.5f %.5f\n", double(t.u), double(t.v));
        out += line;
    }
    for (std::size_t i = 0; i + 2 < tris.size(); i += 3) {
        std::snprintf(line, sizeof line, "f %d/%d %d/%d %d/%d\n", tris[i] + 1, tris[i] + 1, tris[i + 1] + 1,
                      tris[i + 1] + 1, tris[i + 2] + 1, tris[i + 2] + 1);
        out += line;
    }
    return out;
}

} // namespace datagen
