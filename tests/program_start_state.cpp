// Every test starts from the state a fresh process has: the demo's values as
// they were before the first test, the headless backend reset and the picture
// transform at 800 x 600. So tests
// pass in any order, also all in one process with --gtest_shuffle.
#include "core/picture.h"
#include "platform/headless/headless.h"
#include "shell/demo_state.h"

#include <gtest/gtest.h>

namespace {

class ProgramStartState : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override { start_ = captureDemoState(); }
    void OnTestStart(const ::testing::TestInfo&) override
    {
        headless::resetBackend();
        restoreDemoState(start_);
        // The picture transform follows the window; every test starts at 800 x 600.
        if (Picture.drawableWidth != PictureWidth || Picture.drawableHeight != PictureHeight) {
            setPictureDrawable(PictureWidth, PictureHeight);
        }
    }
    DemoStateSnapshot start_;
};

const bool Registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProgramStartState);
    return true;
}();

} // namespace
