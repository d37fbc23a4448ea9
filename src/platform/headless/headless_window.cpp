// Headless backend: an OSMesa context in place of a window, scripted message
// boxes and events, and a virtual clock advanced by presents and sleeps.
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

#define GL_GLEXT_PROTOTYPES 1  // the query and conditional-render calls, which libOSMesa exports
#include <GL/osmesa.h>
#include <GL/gl.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <vector>

namespace {

struct HeadlessState {
    OSMesaContext context = nullptr;
    std::vector<std::uint8_t> buffer;   // RGBA, bottom row first
    int width = 0;
    int height = 0;
    bool fullScreen = false;
    bool fullScreenAvailable = true;
    bool fullScreenWindowFails = false;
    int drawableWidth = 0;   // 0: the size asked for
    int drawableHeight = 0;
    bool cursorVisible = true;
    double fps = 60.0;
    long presented = 0;      // frames presented so far
    double sleptMs = 0.0;    // total of all sleeps
    std::deque<plat::Answer> answers;
    bool quiet = false;
    std::vector<headless::MessageRecord> log;
    std::deque<plat::Event> events;
    std::function<void()> presentHook;
    std::chrono::steady_clock::time_point frameStart = std::chrono::steady_clock::now();
    double lastCost = 0.0;
    std::function<bool(double)> rasterPolicy;
    bool skipping = false;        // the current context's draws and clears are skipped
    GLuint emptyQuery = 0;        // the current context's query that saw no sample; 0: none yet
    std::uint8_t skipBuffer[4] = {};  // the one-pixel drawable while skipping
    bool lastRasterised = true;   // of the frame presented last
};

HeadlessState hs;

// Asks the policy about the frame now being drawn and switches the renderer
// to match. Skipping is conditional rendering on a query that saw no sample:
// the renderer drops each draw and clear as it arrives, after the GL state
// and the buffer of immediate-mode vertices have taken it in as always.
void applyRasterPolicy()
{
    const bool rasterise = !hs.rasterPolicy || hs.rasterPolicy(headless::virtualTimeMs());
    if (hs.context && rasterise == hs.skipping) {
        if (rasterise) {
            glEndConditionalRender();
            OSMesaMakeCurrent(hs.context, hs.buffer.data(), GL_UNSIGNED_BYTE, hs.width, hs.height);
        } else {
            if (hs.emptyQuery == 0) {
                glGenQueries(1, &hs.emptyQuery);
                glBeginQuery(GL_SAMPLES_PASSED, hs.emptyQuery);
                glEndQuery(GL_SAMPLES_PASSED);
            }
            glBeginConditionalRender(hs.emptyQuery, GL_QUERY_WAIT);
            // Each flush copies the picture out to the buffer: make that one pixel.
            OSMesaMakeCurrent(hs.context, hs.skipBuffer, GL_UNSIGNED_BYTE, 1, 1);
        }
    }
    hs.skipping = !rasterise;
}

} // namespace

namespace headless {

void setFramesPerSecond(double fps) { hs.fps = fps > 0 ? fps : 60.0; }
double framesPerSecond() { return hs.fps; }
// Counted in whole frames so that 30 fps lands exactly on 1500 ms after 45 frames.
double virtualTimeMs() { return hs.sleptMs + static_cast<double>(hs.presented) * 1000.0 / hs.fps; }
void queueAnswer(plat::Answer answer) { hs.answers.push_back(answer); }
void setQuietMessages(bool quiet) { hs.quiet = quiet; }
const std::vector<MessageRecord>& messageLog() { return hs.log; }
void clearMessageLog() { hs.log.clear(); }
void pushEvent(const plat::Event& event) { hs.events.push_back(event); }
void setPresentHook(std::function<void()> hook) { hs.presentHook = std::move(hook); }
double lastFrameCostMs() { return hs.lastCost; }
bool lastFrameRasterised() { return hs.lastRasterised; }
void setRasterPolicy(std::function<bool(double presentMs)> policy)
{
    hs.rasterPolicy = std::move(policy);
    applyRasterPolicy();
}
bool windowExists() { return hs.context != nullptr; }
bool windowIsFullScreen() { return hs.fullScreen; }
void setFullScreenAvailable(bool available) { hs.fullScreenAvailable = available; }
void setFullScreenWindowFails(bool fails) { hs.fullScreenWindowFails = fails; }
void setDrawableSize(int width, int height)
{
    hs.drawableWidth = width > 0 && height > 0 ? width : 0;
    hs.drawableHeight = width > 0 && height > 0 ? height : 0;
}

void readFrame(std::vector<std::uint8_t>* rgb, int* width, int* height)
{
    *width = hs.width;
    *height = hs.height;
    rgb->assign(static_cast<std::size_t>(hs.width) * hs.height * 3, 0);
    if (!hs.context) return;
    glFinish();
    for (int y = 0; y < hs.height; ++y) {
        const std::uint8_t* src = hs.buffer.data() + static_cast<std::size_t>(hs.height - 1 - y) * hs.width * 4;
        std::uint8_t* dst = rgb->data() + static_cast<std::size_t>(y) * hs.width * 3;
        for (int x = 0; x < hs.width; ++x) {
            dst[x * 3 + 0] = src[x * 4 + 0];
            dst[x * 3 + 1] = src[x * 4 + 1];
            dst[x * 3 + 2] = src[x * 4 + 2];
        }
    }
}

const std::uint8_t* frameRgba(int* width, int* height)
{
    *width = hs.width;
    *height = hs.height;
    if (!hs.context) return nullptr;
    glFinish();
    return hs.buffer.data();
}

} // namespace headless

namespace plat {

bool openDisplay() { return true; }

Answer showMessageBox(const char* text, const char* caption, Buttons buttons, Icon)
{
    hs.log.push_back({text ? text : "", caption ? caption : ""});
    if (!hs.quiet) std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (!hs.answers.empty()) {
        Answer a = hs.answers.front();
        hs.answers.pop_front();
        return a;
    }
    return Answer::Yes;
}

bool fullScreenAvailable() { return hs.fullScreenAvailable; }
void showCursor(bool visible) { hs.cursorVisible = visible; }

WindowResult createWindow(const WindowDesc& desc)
{
    if (hs.context) destroyWindow();
    if (desc.fullScreen && hs.fullScreenWindowFails) return WindowResult::ChoosePixelFormatFailed;
    // Depth 16 and stencil 1 asked; llvmpipe gives 24/8.
    OSMesaContext ctx = OSMesaCreateContextExt(OSMESA_RGBA, 16, 1, 0, nullptr);
    if (!ctx) return WindowResult::CreateContextFailed;
    const int width = hs.drawableWidth > 0 ? hs.drawableWidth : desc.width;
    const int height = hs.drawableHeight > 0 ? hs.drawableHeight : desc.height;
    hs.buffer.assign(static_cast<std::size_t>(width) * height * 4, 0);
    if (!OSMesaMakeCurrent(ctx, hs.buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(ctx);
        return WindowResult::MakeCurrentFailed;
    }
    hs.context = ctx;
    hs.width = width;
    hs.height = height;
    hs.fullScreen = desc.fullScreen;
    hs.frameStart = std::chrono::steady_clock::now();
    hs.skipping = false;  // a new context draws
    hs.emptyQuery = 0;
    applyRasterPolicy();
    return WindowResult::Ok;
}

void destroyWindow()
{
    if (!hs.context) return;
    OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    OSMesaDestroyContext(hs.context);
    hs.context = nullptr;
    hs.width = hs.height = 0;
    // The context's textures, lists and driver state are freed in pieces
    // spread over the heap's arenas; without a trim the heap keeps them all and
    // every full-screen toggle would add the size of a whole set-up.
    malloc_trim(0);
}

void raiseWindow() {}

void presentFrame()
{
    if (hs.context) glFinish();
    const auto now = std::chrono::steady_clock::now();
    hs.lastCost = std::chrono::duration<double, std::milli>(now - hs.frameStart).count();
    hs.lastRasterised = !hs.skipping;
    if (hs.presentHook) hs.presentHook();
    const double before = headless::virtualTimeMs();
    ++hs.presented;
    headless::advanceAudio(headless::virtualTimeMs() - before);
    applyRasterPolicy();
    hs.frameStart = std::chrono::steady_clock::now();
}

void getClientSize(int* width, int* height)
{
    *width = hs.width;
    *height = hs.height;
}

bool pollEvent(Event* event)
{
    if (hs.events.empty()) return false;
    *event = hs.events.front();
    hs.events.pop_front();
    return true;
}

void sleepMs(unsigned milliseconds)
{
    hs.sleptMs += milliseconds;
    headless::advanceAudio(milliseconds);
    applyRasterPolicy();
}

bool clockIsVirtual()
{
    return true;
}

} // namespace plat

namespace headless {

void resetBackend()
{
    if (hs.context) plat::destroyWindow();
    hs = HeadlessState{};
    resetMusicState();
}

} // namespace headless
