// Every test starts from the state a fresh process has: the demo's state at
// its initial values (the picture transform at 800 x 600 among them), no GL
// objects, nothing loaded and the headless backend reset. So tests pass in any
// order, also all in one process with --gtest_shuffle.
#include "assets/loaded_assets.h"
#include "core/gl_resources.h"
#include "core/picture.h"
#include "platform/headless/headless.h"
#include "shell/demo_state.h"

#include <gtest/gtest.h>

namespace {

class ProgramStartState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        headless::resetBackend();
        demoState() = DemoState{};
        restorePictureTransform(PictureTransform{});
        // The last test's context is gone and its objects with it.
        Gl = GlResources{};
        // Nothing read yet.
        Assets = LoadedAssets{};
    }
};

const bool Registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProgramStartState);
    return true;
}();

} // namespace
