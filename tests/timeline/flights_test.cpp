// The landscape flights: bank rule, motion, pitch inversion and redraws.
#include "effects/heightfield_gen.h"
#include "gl_fixture.h"
#include "shell/shell_state.h"
#include "timeline/flights.h"
#include "timeline/timeline.h"

#include <cmath>
#include <vector>

namespace {

void resetFlight(Vector3 position)
{
    CameraYaw = 90.0f;
    CameraPosition = position;
    CameraRoll = 0.0f;
    CameraPitch = 0.0f;
    BankRight = true;
}

std::vector<std::uint8_t> readScreen()
{
    std::vector<std::uint8_t> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace

class Flights : public GlTest {};

TEST_F(Flights, BankRightThenLeftWithoutKeys)
{
    // Far beyond the field (x >= 270), so the frames draw no landscape.
    resetFlight(Vector3{400.0f, 16.0f, 20.0f});
    FrameDelta = 16.0;  // 0.16 degrees of roll per frame
    const float step = 0.16f;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    double t = 0.0;
    while (t + FrameDelta <= 1500.0 - FrameDelta) {
        t += FrameDelta;
        SongTime = t;
        flyRight();
    }
    EXPECT_LT(CameraRoll, 15.0f);
    EXPECT_TRUE(BankRight);
    while (t < 10000.0 - FrameDelta) {
        t += FrameDelta;
        SongTime = t;
        flyRight();
        if (t >= 1500.0 + FrameDelta) {
            ASSERT_GE(CameraRoll, 15.0f) << t;
            ASSERT_LE(CameraRoll, 15.0f + step + 1e-3f) << t;
        }
    }
    EXPECT_FALSE(BankRight);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    const float heldRoll = CameraRoll;
    EXPECT_NEAR(CameraYaw, 90.0f + 0.01f * static_cast<float>(t), 0.05f);

    // The left turn rolls from about 15 to -15 in the first 3 s.
    const double leftStart = t;
    while (t < 26500.0 - FrameDelta) {
        t += FrameDelta;
        SongTime = t;
        flyLeft(t);
        const double into = t - leftStart;
        if (into <= (heldRoll + 15.0f) / 0.01f - FrameDelta) {
            ASSERT_GT(CameraRoll, -15.0f) << into;
        }
        if (into >= (heldRoll + 15.0f) / 0.01f + FrameDelta) {
            ASSERT_LE(CameraRoll, -15.0f) << into;
            ASSERT_GE(CameraRoll, -15.0f - step - 1e-3f) << into;
        }
    }
    EXPECT_TRUE(BankRight);
}

TEST_F(Flights, StandingSongTimeRedrawsTheSameFrameAndPitchFlipsAt24s)
{
    for (int k = 0; k < HeightFieldCells; ++k) HeightField.heights[k] = std::sin(k * 0.05f) * 3.0f;
    for (Vector3& n : HeightField.normals) n = Vector3{0.3f, 1.0f, 0.2f};
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);

    resetFlight(Vector3{20.0f, 6.0f, 20.0f});
    CameraPitch = 12.0f;
    BankRight = false;
    FrameDelta = 0.0;
    auto frameAt = [](double t) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
        flyLeft(t);
        EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
        return readScreen();
    };
    const auto first = frameAt(20000.0);
    const Vector3 before = CameraPosition;
    const auto second = frameAt(20000.0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(CameraPosition.x, before.x);
    EXPECT_EQ(CameraPosition.y, before.y);
    EXPECT_EQ(CameraYaw, 90.0f);

    int lit = 0;
    for (std::size_t i = 0; i < first.size(); i += 4) lit += first[i] + first[i + 1] > 0;
    EXPECT_GT(lit, 10000);  // the landscape is on screen

    // From 24 s the view tilts by -pitch: the same picture as +pitch before it.
    const auto flipped = frameAt(24000.0);
    EXPECT_NE(flipped, first);
    CameraPitch = -12.0f;
    EXPECT_EQ(frameAt(23999.0), flipped);
    CameraPitch = 0.0f;
    glDisable(GL_LIGHT0);
}
