// Headless backend: an EGL pbuffer in place of a window, scripted message
// boxes and events, and a virtual clock advanced by presents and sleeps.
//
// Drawing goes through EGL with a desktop OpenGL compatibility context (the
// demo's GL 1.x calls, display lists and GLU as on a window), on a device of
// the device platform: a GPU where one can draw, else Mesa's software device
// (llvmpipe). Where EGL cannot list devices, the surfaceless platform stands in.
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

namespace {

// The display the windows are drawn on, opened for one renderer choice and
// kept for the process: tests make hundreds of windows one after another.
struct EglDevice {
    headless::Renderer choice = headless::Renderer::Software;
    bool open = false;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLSurface tiny = EGL_NO_SURFACE;  // one pixel: drawn on while frames are skipped
    std::string renderer, version;     // GL_RENDERER and GL_VERSION
    std::string error;                 // why no device of the choice could be opened
    // Not every libGL exports these; EGL hands them out for any current context.
    PFNGLGENQUERIESPROC genQueries = nullptr;
    PFNGLBEGINQUERYPROC beginQuery = nullptr;
    PFNGLENDQUERYPROC endQuery = nullptr;
    PFNGLBEGINCONDITIONALRENDERPROC beginConditionalRender = nullptr;
    PFNGLENDCONDITIONALRENDERPROC endConditionalRender = nullptr;
};

EglDevice egl;

struct HeadlessState {
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    std::vector<std::uint8_t> buffer;   // RGBA, bottom row first: the last frame read back
    int width = 0;
    int height = 0;
    headless::Renderer renderer = headless::Renderer::Software;
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
    bool lastRasterised = true;   // of the frame presented last
};

HeadlessState hs;

bool hasWord(const char* list, const char* word)
{
    if (!list) return false;
    const std::size_t n = std::strlen(word);
    for (const char* p = list; (p = std::strstr(p, word)) != nullptr; p += n) {
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    }
    return false;
}

template <typename Proc>
void loadProc(Proc* proc, const char* name)
{
    *proc = reinterpret_cast<Proc>(eglGetProcAddress(name));
}

// Initialises `display` for desktop OpenGL with a pbuffer config of 8-bit
// RGBA, depth and stencil, and reads the renderer's name from a context made
// for the purpose. On failure leaves the display terminated and says why.
bool initialiseDisplay(EGLDisplay display, std::string* why)
{
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        *why = "eglInitialize failed";
        return false;
    }
    // Depth 16 and stencil 1 asked; Mesa gives 24/8, the smallest it has with stencil.
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                 EGL_DEPTH_SIZE, 16, EGL_STENCIL_SIZE, 1, EGL_SAMPLE_BUFFERS, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    EGLContext probe = EGL_NO_CONTEXT;
    EGLSurface tiny = EGL_NO_SURFACE;
    const EGLint tinySize[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *why = "no desktop OpenGL";
    } else if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) {
        *why = "no pbuffer config with 8-bit RGBA, depth and stencil";
    } else if ((probe = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr)) == EGL_NO_CONTEXT) {
        *why = "no OpenGL context";
    } else if ((tiny = eglCreatePbufferSurface(display, config, tinySize)) == EGL_NO_SURFACE ||
               !eglMakeCurrent(display, tiny, tiny, probe)) {
        *why = "no pbuffer";
    } else {
        const auto text = [](GLenum name) {
            const GLubyte* s = glGetString(name);
            return std::string(s ? reinterpret_cast<const char*>(s) : "");
        };
        egl.renderer = text(GL_RENDERER);
        egl.version = text(GL_VERSION);
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, probe);
        egl.display = display;
        egl.config = config;
        egl.tiny = tiny;
        return true;
    }
    if (probe != EGL_NO_CONTEXT) eglDestroyContext(display, probe);
    if (tiny != EGL_NO_SURFACE) eglDestroySurface(display, tiny);
    eglTerminate(display);
    return false;
}

void closeDevice()
{
    if (egl.open) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(egl.display, egl.tiny);
        eglTerminate(egl.display);
    }
    egl = EglDevice{};
}

// Opens the display for `choice`: for Gpu the first device that is not
// Mesa's software one and can draw, for Software the software device, for
// Auto the former, else the latter.
bool openDevice(headless::Renderer choice)
{
    if (egl.open && egl.choice == choice) return true;
    closeDevice();
    egl.choice = choice;
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    auto queryDeviceString =
        reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
    std::string why;
    if (getPlatformDisplay && queryDevices && queryDeviceString && hasWord(client, "EGL_EXT_platform_device") &&
        hasWord(client, "EGL_EXT_device_enumeration")) {
        EGLint count = 0;
        std::vector<EGLDeviceEXT> devices;
        if (queryDevices(0, nullptr, &count) && count > 0) {
            devices.resize(static_cast<std::size_t>(count));
            if (!queryDevices(count, devices.data(), &count)) count = 0;
            devices.resize(static_cast<std::size_t>(count));
        }
        std::vector<EGLDeviceEXT> gpus, software;
        for (EGLDeviceEXT device : devices) {
            const bool isSoftware = hasWord(queryDeviceString(device, EGL_EXTENSIONS), "EGL_MESA_device_software");
            (isSoftware ? software : gpus).push_back(device);
        }
        std::vector<EGLDeviceEXT> candidates;
        if (choice != headless::Renderer::Software) candidates = gpus;
        if (choice != headless::Renderer::Gpu) candidates.insert(candidates.end(), software.begin(), software.end());
        for (EGLDeviceEXT device : candidates) {
            if (initialiseDisplay(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr), &why)) {
                egl.open = true;
                break;
            }
        }
        if (!egl.open) {
            if (choice == headless::Renderer::Gpu && gpus.empty()) {
                egl.error = "no GPU render device found (none that EGL lists)";
            } else if (candidates.empty()) {
                egl.error = "EGL lists no device to draw on";
            } else {
                egl.error = "no EGL device could draw: " + why;
            }
        }
    } else if (getPlatformDisplay && hasWord(client, "EGL_MESA_platform_surfaceless") &&
               choice != headless::Renderer::Gpu) {
        // Without a device list the surfaceless platform takes the GPU where
        // Mesa finds one; Mesa's switch keeps it to software when asked.
        if (choice == headless::Renderer::Software) setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        egl.open = initialiseDisplay(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr), &why);
        if (!egl.open) egl.error = "no EGL surfaceless display could draw: " + why;
    } else {
        egl.error = choice == headless::Renderer::Gpu ? "no GPU render device found (EGL cannot list devices)"
                                                      : "EGL has neither the device nor the surfaceless platform";
    }
    if (!egl.open) return false;
    loadProc(&egl.genQueries, "glGenQueries");
    loadProc(&egl.beginQuery, "glBeginQuery");
    loadProc(&egl.endQuery, "glEndQuery");
    loadProc(&egl.beginConditionalRender, "glBeginConditionalRender");
    loadProc(&egl.endConditionalRender, "glEndConditionalRender");
    return true;
}

// Asks the policy about the frame now being drawn and switches the renderer
// to match. Skipping is conditional rendering on a query that saw no sample:
// the renderer drops each draw and clear as it arrives, after the GL state
// and the buffer of immediate-mode vertices have taken it in as always. The
// one-pixel surface is current meanwhile, so that nothing left (a copy to a
// texture) touches a whole frame.
void applyRasterPolicy()
{
    const bool rasterise = !hs.rasterPolicy || hs.rasterPolicy(headless::virtualTimeMs());
    if (hs.context != EGL_NO_CONTEXT && rasterise == hs.skipping) {
        // A driver below OpenGL 3.0 has no conditional rendering: there the
        // one-pixel surface alone keeps the skipped draws cheap.
        const bool conditional = egl.genQueries && egl.beginQuery && egl.endQuery && egl.beginConditionalRender &&
                                 egl.endConditionalRender;
        if (rasterise) {
            if (conditional) egl.endConditionalRender();
            eglMakeCurrent(egl.display, hs.surface, hs.surface, hs.context);
        } else {
            if (conditional && hs.emptyQuery == 0) {
                egl.genQueries(1, &hs.emptyQuery);
                egl.beginQuery(GL_SAMPLES_PASSED, hs.emptyQuery);
                egl.endQuery(GL_SAMPLES_PASSED);
            }
            if (conditional) egl.beginConditionalRender(hs.emptyQuery, GL_QUERY_WAIT);
            eglMakeCurrent(egl.display, egl.tiny, egl.tiny, hs.context);
        }
    }
    hs.skipping = !rasterise;
}

// The frame's pixels into hs.buffer, after the renderer has finished them.
// While frames are skipped the buffer keeps the last frame drawn.
const std::uint8_t* readBack()
{
    glFinish();
    if (!hs.skipping) {
        GLint alignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, hs.width, hs.height, GL_RGBA, GL_UNSIGNED_BYTE, hs.buffer.data());
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    }
    return hs.buffer.data();
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
bool windowExists() { return hs.context != EGL_NO_CONTEXT; }
bool windowIsFullScreen() { return hs.fullScreen; }
void setFullScreenAvailable(bool available) { hs.fullScreenAvailable = available; }
void setFullScreenWindowFails(bool fails) { hs.fullScreenWindowFails = fails; }
void setDrawableSize(int width, int height)
{
    hs.drawableWidth = width > 0 && height > 0 ? width : 0;
    hs.drawableHeight = width > 0 && height > 0 ? height : 0;
}

void useRenderer(Renderer renderer)
{
    if (hs.context != EGL_NO_CONTEXT && renderer != hs.renderer) plat::destroyWindow();
    hs.renderer = renderer;
}

bool openRenderer(std::string* error)
{
    if (openDevice(hs.renderer)) return true;
    *error = egl.error;
    return false;
}

std::string rendererName() { return egl.open ? egl.renderer : std::string(); }
std::string rendererVersion() { return egl.open ? egl.version : std::string(); }

void readFrame(std::vector<std::uint8_t>* rgb, int* width, int* height)
{
    *width = hs.width;
    *height = hs.height;
    rgb->assign(static_cast<std::size_t>(hs.width) * hs.height * 3, 0);
    if (hs.context == EGL_NO_CONTEXT) return;
    readBack();
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
    if (hs.context == EGL_NO_CONTEXT) return nullptr;
    return readBack();
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
    if (hs.context != EGL_NO_CONTEXT) destroyWindow();
    if (desc.fullScreen && hs.fullScreenWindowFails) return WindowResult::ChoosePixelFormatFailed;
    if (!openDevice(hs.renderer)) return WindowResult::CreateContextFailed;
    // Version 1.0 asked (the default): the highest compatibility profile.
    EGLContext ctx = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
    if (ctx == EGL_NO_CONTEXT) return WindowResult::CreateContextFailed;
    const int width = hs.drawableWidth > 0 ? hs.drawableWidth : desc.width;
    const int height = hs.drawableHeight > 0 ? hs.drawableHeight : desc.height;
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(egl.display, egl.config, size);
    if (surface == EGL_NO_SURFACE || !eglMakeCurrent(egl.display, surface, surface, ctx)) {
        if (surface != EGL_NO_SURFACE) eglDestroySurface(egl.display, surface);
        eglDestroyContext(egl.display, ctx);
        return WindowResult::MakeCurrentFailed;
    }
    hs.buffer.assign(static_cast<std::size_t>(width) * height * 4, 0);
    hs.context = ctx;
    hs.surface = surface;
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
    if (hs.context == EGL_NO_CONTEXT) return;
    eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(egl.display, hs.surface);
    eglDestroyContext(egl.display, hs.context);
    hs.context = EGL_NO_CONTEXT;
    hs.surface = EGL_NO_SURFACE;
    hs.width = hs.height = 0;
    // The context's textures, lists and driver state are freed in pieces
    // spread over the heap's arenas; without a trim the heap keeps them all and
    // every full-screen toggle would add the size of a whole set-up.
    malloc_trim(0);
}

void raiseWindow() {}

void presentFrame()
{
    if (hs.context != EGL_NO_CONTEXT) glFinish();
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
    if (hs.context != EGL_NO_CONTEXT) plat::destroyWindow();
    // The display stays open: it is the same for the next test.
    hs = HeadlessState{};
    resetMusicState();
}

} // namespace headless
