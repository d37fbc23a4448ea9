// Extruded outline text: geometry and advances, holes, outward normals,
// centring, and a clean failure without any font.
#include "core/picture.h"
#include "gl_fixture.h"
#include "text/outline_font.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

namespace {

struct Extent {
    int polygons = 0;
    double xMin = 1e9, xMax = -1e9, yMin = 1e9, yMax = -1e9, zMin = 1e9, zMax = -1e9;
};

// Object-space extent of what `draw` sends, read back through GL feedback
// under an orthographic view of [-4, 4] on every axis. Side walls stand
// edge-on in this view and give no polygons; the faces do.
template <typename Draw>
Extent feedbackExtent(Draw draw)
{
    static GLfloat buffer[1 << 20];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-4, 4, -4, 4, -4, 4);
    glMatrixMode(GL_MODELVIEW);
    glFeedbackBuffer(1 << 20, GL_3D, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    const int count = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    Extent e;
    for (int i = 0; i < count && buffer[i] == GL_POLYGON_TOKEN;) {
        int corners = static_cast<int>(buffer[i + 1]);
        ++e.polygons;
        for (i += 2; corners-- > 0; i += 3) {
            const double x = buffer[i] / 100.0 - 4.0, y = buffer[i + 1] / 75.0 - 4.0;
            const double z = 4.0 - buffer[i + 2] * 8.0;
            e.xMin = std::min(e.xMin, x), e.xMax = std::max(e.xMax, x);
            e.yMin = std::min(e.yMin, y), e.yMax = std::max(e.yMax, y);
            e.zMin = std::min(e.zMin, z), e.zMax = std::max(e.zMax, z);
        }
    }
    return e;
}

class OutlineFontTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_TRUE(BuildOutlineFont());
        glDisable(GL_TEXTURE_2D);
    }
    void TearDown() override
    {
        DeleteOutlineFont();
        GlTest::TearDown();
    }
    // Draws code c turned by angle about (ax, ay, 0), with the point `up`
    // above the middle of its ink at (0, 0, -3).
    static void drawCentred(unsigned char c, float angle, float ax, float ay, float up = 0)
    {
        const plat::GlyphMetric& m = Gl.GlyphMetrics[c];
        glLoadIdentity();
        glTranslatef(0, -up, -3);
        glRotatef(angle, ax, ay, 0);
        glTranslatef(-(m.originX + m.blackBoxX / 2), -(m.originY - m.blackBoxY / 2), 0.1f);
        glCallList(Gl.OutlineFont + c);
    }
};

TEST_F(OutlineFontTest, PrintableGlyphsLieInTheirAdvanceBox)
{
    int withInk = 0;
    for (int c = 32; c < 255; ++c) {
        if (c >= 127 && c < 160) continue;
        const plat::GlyphMetric& m = Gl.GlyphMetrics[c];
        EXPECT_GE(m.cellIncX, 0.0f) << c;
        const Extent e = feedbackExtent([&] {
            glLoadIdentity();
            glCallList(Gl.OutlineFont + static_cast<unsigned>(c));
        });
        if (e.polygons == 0) continue;
        ++withInk;
        // A face may hook slightly past its box (j, J); wrong units or placement would not.
        EXPECT_GE(e.xMin, -0.1) << c;
        EXPECT_LE(e.xMax, m.cellIncX + 0.1) << c;
        EXPECT_GE(e.yMin, -0.35) << c;
        EXPECT_LE(e.yMax, 1.05) << c;
        EXPECT_NEAR(e.zMax, 0.0, 0.01) << c;
        EXPECT_NEAR(e.zMin, -0.2, 0.01) << c;
        EXPECT_NEAR(e.xMin, m.originX, 0.01) << c;
    }
    EXPECT_GT(withInk, 180);
    EXPECT_NEAR(Gl.GlyphMetrics[int{'H'}].blackBoxY, 0.72, 0.08);  // capital height of a sans face
    EXPECT_GT(Gl.GlyphMetrics[128].blackBoxX, 0.3f);           // 128 is the euro sign, not a blank
    EXPECT_EQ(feedbackExtent([] { glCallList(Gl.OutlineFont + 255); }).polygons, 0);
}

TEST_F(OutlineFontTest, CountersAreHolesAndNormalsPointOutward)
{
    glClearColor(0, 0, 0, 1);
    glColor3f(1, 1, 1);
    for (unsigned char c : {'o', '8', '@'}) {
        glClear(GL_COLOR_BUFFER_BIT);
        drawCentred(c, 0, 0, 1, c == '8' ? Gl.GlyphMetrics[c].blackBoxY / 4 : 0);  // upper counter of 8
        EXPECT_EQ(pixelAt(400, 300)[0], 0) << c;
        int inkRows = 0;
        for (int y = 300; y < 600; ++y) inkRows += pixelAt(400, y)[0] == 255;
        EXPECT_GT(inkRows, 5) << c;
    }

    // Lit from the viewer, a surface is bright only if its normal faces back:
    // turn each face and wall of "I" (a plain bar) to the front.
    const GLfloat towardsViewer[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    const float turns[6][3] = {{0, 0, 1}, {180, 0, 1}, {90, 0, 1}, {-90, 0, 1}, {90, 1, 0}, {-90, 1, 0}};
    for (const auto& t : turns) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawCentred('I', t[0], t[1], t[2]);
        EXPECT_GT(pixelAt(400, 300)[0], 150) << t[0] << " about " << (t[1] ? "x" : "y");
    }
}

TEST_F(OutlineFontTest, CentredTextIsSymmetricAboutTheOrigin)
{
    const char* text = "--> presents <--";
    float total = 0;
    for (const char* p = text; *p; ++p) total += Gl.GlyphMetrics[static_cast<unsigned char>(*p)].cellIncX;
    const plat::GlyphMetric& dash = Gl.GlyphMetrics[int{'-'}];
    const Extent e = feedbackExtent([&] {
        glLoadIdentity();
        Print3D(true, "%s", text);
    });
    EXPECT_NEAR(e.xMin, -total / 2 + dash.originX, 0.005);
    EXPECT_NEAR(e.xMax, total / 2 - dash.cellIncX + dash.originX + dash.blackBoxX, 0.005);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);  // the origin ends at +half
    EXPECT_NEAR(m[12], total / 2, 1e-4);
    EXPECT_GT(total, 5.0f);

    // A null format draws nothing and leaves the matrix alone.
    const char* noFormat = nullptr;
    glLoadIdentity();
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
    Print3D(true, noFormat);
#pragma GCC diagnostic pop
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f);
    glListBase(1234);
    Print3D(false, "%d", 42);
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 1234);
}

TEST_F(OutlineFontTest, CurvesGetFinerOnALargerPictureAndNeverCoarser)
{
    // Faces of round letters, in polygons from the tessellator: more of them
    // where the curves are cut into more chords.
    auto roundPolygons = [] {
        int polygons = 0;
        for (unsigned char c : {'O', 'o', 'S', '8', '@'}) {
            polygons += feedbackExtent([c] {
                glLoadIdentity();
                glCallList(Gl.OutlineFont + c);
            }).polygons;
        }
        return polygons;
    };
    const unsigned lists = Gl.OutlineFont;
    const float advance = Gl.GlyphMetrics[int{'O'}].cellIncX;
    const int at800 = roundPolygons();

    setPictureDrawable(2880, 2160);  // a 4K capture: scale 3.6
    FitOutlineFontToPicture();
    const int at4k = roundPolygons();
    // Scale 3.6: each curve in four times the chords of 800 x 600.
    EXPECT_GE(at4k, at800 * 3) << "at 800x600: " << at800;
    // Rebuilt in place: the same lists, the same layout of the text.
    EXPECT_EQ(Gl.OutlineFont, lists);
    EXPECT_EQ(Gl.GlyphMetrics[int{'O'}].cellIncX, advance);

    std::printf("round letters: %d polygons at 800x600, %d at 2880x2160\n", at800, at4k);

    // A smaller picture keeps the letters of 800 x 600.
    setPictureDrawable(400, 300);
    FitOutlineFontToPicture();
    EXPECT_EQ(roundPolygons(), at800);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OutlineFontTest, TextCulledOnlyWhereNothingOfItWouldShow)
{
    // A line slides across each edge of the view and through the near plane
    // in small steps; at every step it is drawn in full and its pixels are
    // counted. Whatever lights a pixel must be reported as possibly showing,
    // and the report must turn false within a step or two of the last pixel.
    const char* text = "Glimmerfolk +++";
    std::vector<std::uint8_t> rgb(800 * 600 * 3);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 1, 1);
    glClearColor(0, 0, 0, 0);
    struct Sweep {
        const char* name;
        float from[3], step[3];
        int steps;
        float tilt;  // degrees about x
    };
    const Sweep sweeps[] = {
        {"up", {0, 0, -10}, {0, 0.05f, 0}, 140, 0},
        {"down", {0, 0, -10}, {0, -0.05f, 0}, 140, 0},
        {"right", {0, -0.35f, -10}, {0.1f, 0, 0}, 140, 0},
        {"left", {0, -0.35f, -10}, {-0.1f, 0, 0}, 140, 0},
        {"through the near plane", {0, -0.35f, -1.0f}, {0, 0, 0.01f}, 140, 0},
        {"tilted away, past the top", {0, 3.0f, -10}, {0, 0.05f, 0}, 100, -60},
    };
    for (const Sweep& sweep : sweeps) {
        int lastLit = -1, lastShown = -1, culled = 0;
        for (int i = 0; i < sweep.steps; ++i) {
            glLoadIdentity();
            glTranslatef(sweep.from[0] + i * sweep.step[0], sweep.from[1] + i * sweep.step[1],
                         sweep.from[2] + i * sweep.step[2]);
            glRotatef(sweep.tilt, 1, 0, 0);
            const bool mayShow = OutlineTextMayShow(true, text);
            glClear(GL_COLOR_BUFFER_BIT);
            Print3D(true, "%s", text);
            glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
            const bool lit = std::any_of(rgb.begin(), rgb.end(), [](std::uint8_t v) { return v != 0; });
            EXPECT_TRUE(mayShow || !lit) << sweep.name << ", step " << i << ": culled, yet it lights pixels";
            if (lit) lastLit = i;
            if (mayShow) lastShown = i;
            culled += !mayShow;
        }
        EXPECT_GE(lastLit, 0) << sweep.name;
        EXPECT_GT(culled, 0) << sweep.name << ": never culled";
        EXPECT_LE(lastShown - lastLit, 2) << sweep.name << ": kept well after it left the view";
    }
    EXPECT_FALSE(OutlineTextMayShow(true, "   ")) << "blanks draw nothing";
}

// fontconfig reads FONTCONFIG_FILE on each build: give it one without fonts.
TEST_F(GlTest, OutlineFontWithoutAnyFontFailsCleanly)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("ng_nofont_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" << dir.string()
                                      << "</cachedir></fontconfig>\n";
    const char* previous = std::getenv("FONTCONFIG_FILE");
    const std::string keep = previous ? previous : "";
    setenv("FONTCONFIG_FILE", (dir / "fonts.conf").c_str(), 1);
    Gl.GlyphMetrics[int{'A'}].cellIncX = 5.0f;
    const bool built = BuildOutlineFont();
    previous ? setenv("FONTCONFIG_FILE", keep.c_str(), 1) : unsetenv("FONTCONFIG_FILE");
    fs::remove_all(dir);

    EXPECT_FALSE(built);
    EXPECT_EQ(Gl.GlyphMetrics[int{'A'}].cellIncX, 0.0f);
    const Extent e = feedbackExtent([] {
        glLoadIdentity();
        Print3D(true, "%s", "ABC");
    });
    EXPECT_EQ(e.polygons, 0);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    DeleteOutlineFont();
}

} // namespace
