// The binary readout: when rows are re-chosen, how many draws that takes,
// and the clip and blending it leaves.
#include "text/binary_ticker.h"

#include "core/random.h"
#include "gl_fixture.h"
#include "timeline/timeline.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

class BinaryTickerGl : public GlTest {
protected:
    TickerState ticker;  // of the frames drawn
    RandomGenerator random;
    double frameDelta = 0.0;
};

} // namespace

TEST_F(BinaryTickerGl, ZeroFrameDeltaNeverReChooses)
{
    frameDelta = 0.0;
    for (int i = 0; i < 500; ++i) DrawBinaryTicker(ticker, random, frameDelta);
    EXPECT_EQ(random.RandomState, 1u);
    EXPECT_EQ(ticker.TickerTimer, 0.0f);
    for (int c : ticker.TickerChoices) EXPECT_EQ(c, 0);
}

TEST_F(BinaryTickerGl, SixtyMillisecondsReChooseAllNineRowsFromNineDraws)
{
    std::vector<int> expected;
    for (int i = 0; i < 9; ++i) expected.push_back(nextRandom(random) % 5);
    const std::uint32_t after = random.RandomState;
    random.RandomState = 1;

    frameDelta = 59.0;
    DrawBinaryTicker(ticker, random, frameDelta);
    EXPECT_EQ(random.RandomState, 1u) << "59 ms is not enough";

    frameDelta = 1.0;
    DrawBinaryTicker(ticker, random, frameDelta);
    EXPECT_EQ(random.RandomState, after);
    EXPECT_EQ(ticker.TickerTimer, 0.0f);
    for (int row = 0; row < 9; ++row) EXPECT_EQ(ticker.TickerChoices[row], expected[row]) << row;

    // A long frame re-chooses once (nine draws) and restarts from 0, not from the remainder.
    frameDelta = 1000.0;
    DrawBinaryTicker(ticker, random, frameDelta);
    EXPECT_EQ(ticker.TickerTimer, 0.0f);
    const std::uint32_t afterLong = random.RandomState;
    random.RandomState = after;
    for (int i = 0; i < 9; ++i) nextRandom(random);
    EXPECT_EQ(afterLong, random.RandomState);
    frameDelta = 16.0;
    DrawBinaryTicker(ticker, random, frameDelta);
    EXPECT_FLOAT_EQ(ticker.TickerTimer, 0.8f);
}

TEST_F(BinaryTickerGl, DrawsInTheCallersClipWithBlendingOn)
{
    glScissor(27, 482, 100, 105);
    glEnable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    frameDelta = 0.0;
    DrawBinaryTicker(ticker, random, frameDelta);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 27);
    EXPECT_EQ(box[1], 482);
    EXPECT_EQ(box[2], 100);
    EXPECT_EQ(box[3], 105);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
}
