// The landscape flights: bank rule, motion, pitch inversion and redraws.
#include "effects/heightfield_gen.h"
#include "gl_fixture.h"
#include "shell/shell_state.h"
#include "timeline/flights.h"
#include "timeline/timeline.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

std::vector<std::uint8_t> readScreen()
{
    std::vector<std::uint8_t> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace

class Flights : public GlTest {
protected:
    FlightState flight;
    const std::unique_ptr<HeightFieldData> field = std::make_unique<HeightFieldData>();
    FrameInput frame;  // of the frames drawn
    float roll = 0.0f;  // the camera roll the frames leave
};

TEST_F(Flights, BankRightThenLeftWithoutKeys)
{
    // Far beyond the field (x >= 270), so the frames draw no landscape.
    flight = {.CameraPosition = Vector3{400.0f, 16.0f, 20.0f}};
    frame.frameDelta = 16.0;  // 0.16 degrees of roll per frame
    const float step = 0.16f;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    double t = 0.0;
    while (t + frame.frameDelta <= 1500.0 - frame.frameDelta) {
        t += frame.frameDelta;
        frame.songTime = t;
        flyRight(flight, *field, frame, roll);
    }
    EXPECT_LT(roll, 15.0f);
    EXPECT_TRUE(flight.BankRight);
    while (t < 10000.0 - frame.frameDelta) {
        t += frame.frameDelta;
        frame.songTime = t;
        flyRight(flight, *field, frame, roll);
        if (t >= 1500.0 + frame.frameDelta) {
            ASSERT_GE(roll, 15.0f) << t;
            ASSERT_LE(roll, 15.0f + step + 1e-3f) << t;
        }
    }
    EXPECT_FALSE(flight.BankRight);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    const float heldRoll = roll;
    EXPECT_NEAR(flight.CameraYaw, 90.0f + 0.01f * static_cast<float>(t), 0.05f);

    // The left turn rolls from about 15 to -15 in the first 3 s.
    const double leftStart = t;
    while (t < 26500.0 - frame.frameDelta) {
        t += frame.frameDelta;
        frame.songTime = t;
        flyLeft(flight, *field, frame, roll);
        const double into = t - leftStart;
        if (into <= (heldRoll + 15.0f) / 0.01f - frame.frameDelta) {
            ASSERT_GT(roll, -15.0f) << into;
        }
        if (into >= (heldRoll + 15.0f) / 0.01f + frame.frameDelta) {
            ASSERT_LE(roll, -15.0f) << into;
            ASSERT_GE(roll, -15.0f - step - 1e-3f) << into;
        }
    }
    EXPECT_TRUE(flight.BankRight);
}

TEST_F(Flights, StandingSongTimeRedrawsTheSameFrameAndPitchFlipsAt24s)
{
    for (int k = 0; k < HeightFieldCells; ++k) field->heights[k] = std::sin(k * 0.05f) * 3.0f;
    for (Vector3& n : field->normals) n = Vector3{0.3f, 1.0f, 0.2f};
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);

    flight = {.CameraPosition = Vector3{20.0f, 6.0f, 20.0f}};
    frame.controls.CameraPitch = 12.0f;
    flight.BankRight = false;
    frame.frameDelta = 0.0;
    auto frameAt = [this](double t) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
        frame.songTime = t;
        flyLeft(flight, *field, frame, roll);
        EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
        return readScreen();
    };
    const auto first = frameAt(20000.0);
    const Vector3 before = flight.CameraPosition;
    const auto second = frameAt(20000.0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(flight.CameraPosition.x, before.x);
    EXPECT_EQ(flight.CameraPosition.y, before.y);
    EXPECT_EQ(flight.CameraYaw, 90.0f);

    int lit = 0;
    for (std::size_t i = 0; i < first.size(); i += 4) lit += first[i] + first[i + 1] > 0;
    EXPECT_GT(lit, 10000);  // the landscape is on screen

    // From 24 s the view tilts by -pitch: the same picture as +pitch before it.
    const auto flipped = frameAt(24000.0);
    EXPECT_NE(flipped, first);
    frame.controls.CameraPitch = -12.0f;
    EXPECT_EQ(frameAt(23999.0), flipped);
    glDisable(GL_LIGHT0);
}
