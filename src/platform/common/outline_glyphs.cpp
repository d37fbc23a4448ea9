// Extruded outline glyphs: fontconfig finds the face, FreeType gives the
// outlines, curves are flattened to line segments, the GLU tessellator fills
// front and back faces, and every outline segment gets a side wall.
#include "platform/common/font_lookup.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <string>
#include <vector>

namespace {

struct Point { double x, y; };

// One glyph in em units, ready to compile.
struct GlyphMesh {
    std::vector<Point> triangles;           // front-face triangles, counter-clockwise seen from +z
    std::vector<std::vector<Point>> loops;  // closed flattened contours
    bool fillOnRight = true;                // TrueType order: ink to the right of travel
    double advance = 0.0;
    double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
};

// ---- flattening ------------------------------------------------------------

struct Flattener {
    double scale;       // em units per font unit
    double tolerance;   // chord deviation, em units
    double finer;       // chords per chord at the tolerance: the picture's scale, at least 1
    std::vector<std::vector<Point>>* loops;
    Point pen{0, 0};

    Point toEm(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }
    void add(Point p) { loops->back().push_back(p); pen = p; }

    // Segments needed so that a curve whose largest second difference of
    // control points is `bend` stays within the tolerance of its chords;
    // then `finer` (the picture's scale) times as many, so that each chord
    // spans no more drawable pixels than at scale 1: the turn from one chord
    // to the next, which is what shows as a corner, stays as small as there.
    int segmentsFor(double bend, double factor) const
    {
        const int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(bend * factor / tolerance))), 1, 64);
        return std::clamp(static_cast<int>(std::ceil(n * finer)), n, 256);
    }
};

Flattener* asFlattener(void* user) { return static_cast<Flattener*>(user); }

int moveTo(const FT_Vector* to, void* user)
{
    Flattener* f = asFlattener(user);
    f->loops->emplace_back();
    f->add(f->toEm(to));
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    Flattener* f = asFlattener(user);
    f->add(f->toEm(to));
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    Flattener* f = asFlattener(user);
    const Point p0 = f->pen, p1 = f->toEm(control), p2 = f->toEm(to);
    // Quadratic: the curve leaves its chord by at most |p0 - 2 p1 + p2| / 4 over n^2.
    const double bend = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
    const int n = f->segmentsFor(bend, 0.25);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1.0 - t;
        f->add({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    Flattener* f = asFlattener(user);
    const Point p0 = f->pen, p1 = f->toEm(c1), p2 = f->toEm(c2), p3 = f->toEm(to);
    // Cubic: deviation at most 3/4 of the larger second difference over n^2.
    const double bend = std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                 std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
    const int n = f->segmentsFor(bend, 0.75);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        f->add({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    return 0;
}

// Drops repeated points and the closing point that equals the first.
void tidyLoops(std::vector<std::vector<Point>>& loops)
{
    for (auto& loop : loops) {
        std::vector<Point> clean;
        for (const Point& p : loop) {
            if (!clean.empty() && std::abs(clean.back().x - p.x) < 1e-9 && std::abs(clean.back().y - p.y) < 1e-9)
                continue;
            clean.push_back(p);
        }
        while (clean.size() > 1 && std::abs(clean.front().x - clean.back().x) < 1e-9 &&
               std::abs(clean.front().y - clean.back().y) < 1e-9)
            clean.pop_back();
        loop = std::move(clean);
    }
    std::erase_if(loops, [](const std::vector<Point>& l) { return l.size() < 3; });
}

// ---- tessellation ----------------------------------------------------------

struct TessRun {
    std::vector<Point>* out;
    std::deque<std::array<GLdouble, 3>> combined;  // addresses stay fixed as it grows
    bool failed = false;
};

void GLAPIENTRY tessBegin(GLenum, void*) {}
void GLAPIENTRY tessEdgeFlag(GLboolean, void*) {}  // its presence makes the tessellator emit plain triangles
void GLAPIENTRY tessEnd(void*) {}

void GLAPIENTRY tessVertex(void* vertex, void* run)
{
    const GLdouble* v = static_cast<const GLdouble*>(vertex);
    static_cast<TessRun*>(run)->out->push_back({v[0], v[1]});
}

void GLAPIENTRY tessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** outData, void* run)
{
    TessRun* r = static_cast<TessRun*>(run);
    r->combined.push_back({coords[0], coords[1], coords[2]});
    *outData = r->combined.back().data();
}

void GLAPIENTRY tessError(GLenum, void* run)
{
    static_cast<TessRun*>(run)->failed = true;
}

template <typename F>
_GLUfuncptr tessFn(F* fn)
{
    return reinterpret_cast<_GLUfuncptr>(fn);
}

// Fills the glyph's area (non-zero winding) with triangles facing +z.
bool tessellate(GLUtesselator* tess, const std::vector<std::vector<Point>>& loops, std::vector<Point>* out)
{
    // Vertex storage must not move until gluTessEndPolygon.
    std::vector<std::array<GLdouble, 3>> coords;
    std::size_t total = 0;
    for (const auto& loop : loops) total += loop.size();
    coords.reserve(total);

    TessRun run{out, {}, false};
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessBeginPolygon(tess, &run);
    for (const auto& loop : loops) {
        gluTessBeginContour(tess);
        for (const Point& p : loop) {
            coords.push_back({p.x, p.y, 0.0});
            gluTessVertex(tess, coords.back().data(), coords.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    return !run.failed && out->size() % 3 == 0;
}

bool buildMesh(FT_Face face, GLUtesselator* tess, int code, float chordDeviation, float pictureScale,
               GlyphMesh* mesh)
{
    const unsigned cp = plat::codePointOf(static_cast<unsigned char>(code));
    const FT_UInt index = cp ? FT_Get_Char_Index(face, cp) : 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;

    const double scale = 1.0 / face->units_per_EM;
    mesh->advance = std::max(0.0, slot->advance.x * scale);

    if (slot->outline.n_contours == 0) return true;

    Flattener flattener{scale, std::max(1e-4, static_cast<double>(chordDeviation)),
                        std::max(1.0, static_cast<double>(pictureScale)), &mesh->loops};
    FT_Outline_Funcs funcs{};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    if (FT_Outline_Decompose(&slot->outline, &funcs, &flattener) != 0) return false;
    tidyLoops(mesh->loops);
    mesh->fillOnRight = FT_Outline_Get_Orientation(&slot->outline) != FT_ORIENTATION_POSTSCRIPT;

    bool first = true;
    for (const auto& loop : mesh->loops) {
        for (const Point& p : loop) {
            if (first) {
                mesh->xMin = mesh->xMax = p.x;
                mesh->yMin = mesh->yMax = p.y;
                first = false;
            }
            mesh->xMin = std::min(mesh->xMin, p.x);
            mesh->xMax = std::max(mesh->xMax, p.x);
            mesh->yMin = std::min(mesh->yMin, p.y);
            mesh->yMax = std::max(mesh->yMax, p.y);
        }
    }
    return mesh->loops.empty() || tessellate(tess, mesh->loops, &mesh->triangles);
}

// Compiles one glyph: front face at z = 0, back face at z = -depth, side walls
// between them with outward normals, then the advance.
void compileGlyph(const GlyphMesh& mesh, float depth)
{
    const double z = -static_cast<double>(depth);
    glBegin(GL_TRIANGLES);
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (const Point& p : mesh.triangles) glVertex3d(p.x, p.y, 0.0);
    glNormal3f(0.0f, 0.0f, -1.0f);
    for (std::size_t i = 0; i + 2 < mesh.triangles.size(); i += 3) {
        glVertex3d(mesh.triangles[i + 2].x, mesh.triangles[i + 2].y, z);
        glVertex3d(mesh.triangles[i + 1].x, mesh.triangles[i + 1].y, z);
        glVertex3d(mesh.triangles[i].x, mesh.triangles[i].y, z);
    }
    glEnd();

    glBegin(GL_QUADS);
    for (const auto& loop : mesh.loops) {
        for (std::size_t i = 0; i < loop.size(); ++i) {
            // Walk each segment so that the ink lies to its left; the outside is then on the right.
            Point a = loop[i], b = loop[(i + 1) % loop.size()];
            if (mesh.fillOnRight) std::swap(a, b);
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double len = std::hypot(dx, dy);
            if (len <= 0.0) continue;
            glNormal3d(dy / len, -dx / len, 0.0);
            glVertex3d(a.x, a.y, z);
            glVertex3d(b.x, b.y, z);
            glVertex3d(b.x, b.y, 0.0);
            glVertex3d(a.x, a.y, 0.0);
        }
    }
    glEnd();
    glTranslatef(static_cast<float>(mesh.advance), 0.0f, 0.0f);
}

} // namespace

namespace plat {

bool buildOutlineGlyphs(const char* family, unsigned listBase, int first, int count,
                        float chordDeviation, float scale, float depth, GlyphMetric* metrics)
{
    if (count <= 0) return true;
    for (int i = 0; i < count; ++i) metrics[i] = GlyphMetric{};

    int faceIndex = 0;
    const std::string file = findOutlineFaceFile(family, nullptr, &faceIndex);
    if (file.empty()) return false;

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), faceIndex, &face) != 0 || !FT_IS_SCALABLE(face) ||
        face->units_per_EM == 0) {
        if (face) FT_Done_Face(face);
        FT_Done_FreeType(library);
        return false;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    // Every glyph is read and filled before any list is compiled, so a
    // failure leaves the lists empty.
    std::vector<GlyphMesh> meshes(static_cast<std::size_t>(count));
    GLUtesselator* tess = gluNewTess();
    bool ok = tess != nullptr;
    if (ok) {
        gluTessCallback(tess, GLU_TESS_BEGIN_DATA, tessFn(tessBegin));
        gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, tessFn(tessEdgeFlag));
        gluTessCallback(tess, GLU_TESS_VERTEX_DATA, tessFn(tessVertex));
        gluTessCallback(tess, GLU_TESS_END_DATA, tessFn(tessEnd));
        gluTessCallback(tess, GLU_TESS_COMBINE_DATA, tessFn(tessCombine));
        gluTessCallback(tess, GLU_TESS_ERROR_DATA, tessFn(tessError));
        for (int i = 0; i < count && ok; ++i)
            ok = buildMesh(face, tess, first + i, chordDeviation, scale, &meshes[static_cast<std::size_t>(i)]);
        gluDeleteTess(tess);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    if (!ok) return false;

    for (int i = 0; i < count; ++i) {
        const GlyphMesh& mesh = meshes[static_cast<std::size_t>(i)];
        GlyphMetric& m = metrics[i];
        m.blackBoxX = static_cast<float>(mesh.xMax - mesh.xMin);
        m.blackBoxY = static_cast<float>(mesh.yMax - mesh.yMin);
        m.originX = static_cast<float>(mesh.xMin);
        m.originY = static_cast<float>(mesh.yMax);
        m.cellIncX = static_cast<float>(mesh.advance);
        m.cellIncY = 0.0f;

        glNewList(listBase + static_cast<unsigned>(i), GL_COMPILE);
        compileGlyph(mesh, depth);
        glEndList();
    }
    return true;
}

} // namespace plat
