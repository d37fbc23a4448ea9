// The main part's schedule, the fade-in volume ramp, and the phase changes
// that drawFrame makes at the end of the main part.
#include "gl_fixture.h"

#include "timeline/animation_state.h"
#include "timeline/timeline.h"

#include <memory>

TEST(Schedule, WindowsAreOpenAtBothEnds)
{
    const unsigned sceneRows = RowFlyRight | RowFlyLeft | RowCones | RowTunnel | RowPentagram | RowSheet |
                               RowFountain;
    for (double edge : {10000.0, 26500.0, 42000.0, 55000.0, 70000.0, 82500.0, 120000.0}) {
        EXPECT_EQ(mainPartRows(edge, 0) & sceneRows, 0u) << "a scene draws at " << edge;
    }
    EXPECT_EQ(mainPartRows(0.0, 0), unsigned(RowFadeIn));  // black fade only
    EXPECT_EQ(mainPartRows(1.0, 0), RowFlyRight | RowFadeIn);
    EXPECT_EQ(mainPartRows(9999.0, 0), RowFlyRight | RowFadeIn);
    EXPECT_EQ(mainPartRows(10001.0, 0), unsigned(RowFlyLeft));
    EXPECT_EQ(mainPartRows(26501.0, 0), unsigned(RowCones));
    EXPECT_EQ(mainPartRows(42001.0, 0), unsigned(RowTunnel));
    EXPECT_EQ(mainPartRows(55001.0, 0), unsigned(RowPentagram));
    EXPECT_EQ(mainPartRows(70001.0, 0), unsigned(RowSheet));
    EXPECT_EQ(mainPartRows(82501.0, 0), unsigned(RowFountain));
    EXPECT_EQ(mainPartRows(119999.0, 0), unsigned(RowFountain));
    EXPECT_EQ(mainPartRows(120001.0, 0), unsigned(RowEndTransition));
    EXPECT_EQ(mainPartRows(120000.0, 0), 0u);
}

TEST(Schedule, OverrideAddsTheTunnelEverywhere)
{
    for (double t : {0.0, 5000.0, 10000.0, 30000.0, 60000.0, 75000.0, 100000.0, 125000.0}) {
        const unsigned plain = mainPartRows(t, 0);
        EXPECT_EQ(mainPartRows(t, 1), plain | RowTunnel) << t;
    }
}

TEST(Schedule, FadeInVolumeRamp)
{
    EXPECT_EQ(fadeInVolume(0.0), 0);
    EXPECT_EQ(fadeInVolume(49.0), 0);
    EXPECT_EQ(fadeInVolume(50.0), 1);
    EXPECT_EQ(fadeInVolume(5000.0), 100);
    EXPECT_EQ(fadeInVolume(9990.0), 199);   // not yet above 9990
    EXPECT_EQ(fadeInVolume(9991.0), 256);   // the last 10 ms jump to full
    EXPECT_EQ(fadeInVolume(9999.0), 256);
}

class TimelineFrames : public GlTest {};

TEST_F(TimelineFrames, EndTransitionHandsOverToTheScroller)
{
    plat::musicInit(44100, 64, 0);
    FrameClock clock;
    ControlState controls{.MainSongActive = true,
                          .SongHandle = plat::musicLoadSong("Data/Sounds/no-such-song.xm")};  // plays as timed silence
    plat::musicPlaySong(controls.SongHandle);
    const auto state = std::make_unique<AnimationState>();
    TimelineState& timeline = state->timeline;
    timeline.RenderPassDone = true;
    // One frame as the main loop draws it; the end of the main song is the
    // loop's to write.
    auto frame = [&] {
        const FrameRequest request = drawFrame(*state, clock, controls);
        EXPECT_FALSE(request.presentNow || request.pauseMs > 0 || request.switchToMainSong);
        EXPECT_EQ(request.cameraRoll, 0.0f);
        if (request.mainSongEnded) controls.MainSongActive = false;
    };

    plat::sleepMs(119990);
    frame();
    EXPECT_STREQ(timeline.FrameScene, "fountain");
    EXPECT_TRUE(timeline.IntroActive);

    plat::sleepMs(20);
    frame();
    EXPECT_STREQ(timeline.FrameScene, "endTransition");
    EXPECT_FALSE(timeline.IntroActive);  // cleared on every frame of the transition
    EXPECT_TRUE(controls.MainSongActive);
    EXPECT_NEAR(timeline.EndFade, 0.02f, 1e-6f);

    // One second of song time brings EndFade to 1 and ends the main part.
    int frames = 1;
    while (controls.MainSongActive && frames < 200) {
        plat::sleepMs(20);
        frame();
        ++frames;
    }
    EXPECT_FALSE(controls.MainSongActive);
    EXPECT_NEAR(frames, 50, 1);
    EXPECT_GE(timeline.EndFade, 1.0f);
    plat::sleepMs(20);
    frame();
    EXPECT_STREQ(timeline.FrameScene, "scroller");
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(stackDepth(GL_PROJECTION_STACK_DEPTH), 1);
    plat::musicClose();
}
