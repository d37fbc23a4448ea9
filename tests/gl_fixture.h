// Shared fixture for tests that draw: an 800 x 600 EGL context from the
// headless backend with the demo's perspective projection, plus pixel reads.
#pragma once

#include "platform/headless/headless.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

class GlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::setQuietMessages(true);
        headless::clearMessageLog();
        plat::WindowDesc desc{"test", 800, 600, false};
        ASSERT_EQ(plat::createWindow(desc), plat::WindowResult::Ok);
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 800.0 / 600.0, 0.1f, 500.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { plat::destroyWindow(); }

    // Pixel (x, y) with the origin at the bottom-left, as GL counts.
    static std::array<int, 4> pixelAt(int x, int y)
    {
        std::uint8_t p[4] = {0, 0, 0, 0};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }
    static int stackDepth(GLenum which)
    {
        GLint depth = 0;
        glGetIntegerv(which, &depth);
        return depth;
    }
};

// Every test run of nordglow-capture draws on llvmpipe, as the tests' own
// windows do, also where a GPU is present (a later --renderer wins).
constexpr const char* SoftwareRenderer = " --renderer software";

// Folder holding Data/ (the build tree), so tests can run from anywhere.
inline std::string testDataRoot()
{
    const char* dir = std::getenv("NG_DATA_DIR");
    return dir ? dir : ".";
}
