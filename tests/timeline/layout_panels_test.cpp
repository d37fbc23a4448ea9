// The side panels draw only inside their own rectangles, and every panel
// that has content to show shows some.
#include "timeline/animation_state.h"
#include "timeline/layout.h"

#include "effects/colour_panel.h"
#include "effects/particles.h"
#include "core/random.h"
#include "gl_fixture.h"
#include "text/volume_meter.h"
#include "timeline/timeline.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Rect {
    int x, y, w, h;
    bool holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

const Rect SidePanel1{27, 482, 100, 105};
const Rect SidePanel2{27, 351, 100, 105};
const Rect SidePanel3{27, 221, 100, 105};
const Rect SidePanel4{27, 93, 100, 105};
const Rect MeterStrip{0, 13, 205, 51};
const Rect TallStrip{130, 150, 95, 599};

std::vector<std::uint8_t> readFrame()
{
    std::vector<std::uint8_t> rgba(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool lit(const std::vector<std::uint8_t>& f, int x, int y)
{
    const std::uint8_t* p = &f[(static_cast<std::size_t>(y) * 800 + x) * 4];
    return p[0] + p[1] + p[2] > 0;
}

int litPixelsIn(const std::vector<std::uint8_t>& f, const Rect& r)
{
    int n = 0;
    for (int y = r.y; y < std::min(r.y + r.h, 600); ++y)
        for (int x = r.x; x < r.x + r.w; ++x) n += lit(f, x, y);
    return n;
}

} // namespace

TEST_F(GlTest, PanelPassesDrawOnlyInsideTheirRectangles)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlendFunc(GL_ONE, GL_ONE);
    const auto state = std::make_unique<AnimationState>();
    initParticlePools(state->particles, state->random, 0.0);
    InitVolumeMeter(state->meter);
    plat::musicClose();
    state->colourPanel.PanelPhase = 0.3f;
    state->colourPanel.PanelRising = true;
    state->layout.BlobPhase = 0.0f;

    // Two frames without a scene, so the sparks show their reborn placement too.
    for (int frame = 0; frame < 2; ++frame) {
        const FrameInput input{.frameDelta = 16.0, .steps = StepRun{1, frame + 1, 0.0f}};
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        drawFirstPanelPass(*state, input);
        glDisable(GL_SCISSOR_TEST);  // stands in for the scene's main panel, left empty
        drawSecondPanelPass(*state, input);
    }
    const auto frame = readFrame();

    const Rect all[] = {SidePanel1, SidePanel2, SidePanel3, SidePanel4, MeterStrip, TallStrip};
    int outside = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (!lit(frame, x, y)) continue;
            bool inside = false;
            for (const Rect& r : all) inside = inside || r.holds(x, y);
            outside += !inside;
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(litPixelsIn(frame, SidePanel2), 50) << "sparks";
    EXPECT_GT(litPixelsIn(frame, MeterStrip), 500) << "meter bars";
    EXPECT_GT(litPixelsIn(frame, TallStrip), 1000) << "colour strip";
    EXPECT_GT(litPixelsIn(frame, SidePanel3), 20) << "blob cores";
    EXPECT_GT(litPixelsIn(frame, SidePanel4), 1000) << "bottom colour panel";
    // The tall strip's colour panel fills the strip up to the top edge.
    EXPECT_TRUE(lit(frame, 200, 599) || lit(frame, 140, 599) || lit(frame, 220, 599));
}
