// Live backend: SDL2 window with an OpenGL compatibility context, message
// boxes, keyboard events as virtual-key codes, and sleeping.
#include "platform/keys.h"

// The icon's RGBA pixels, drawn by the data generator at build time.
#include "generated/window_icon.h"

#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

struct SdlState {
    bool videoReady = false;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

SdlState sdl;

// Without SDL_VIDEODRIVER, the driver the session's variables point at: x11
// where DISPLAY is set (also under XWayland), wayland where only
// WAYLAND_DISPLAY is, else x11, which fails quietly. SDL left to itself probes
// every driver it has, and some say so on standard error when there is no
// session for them.
void chooseVideoDriver()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("SDL_VIDEODRIVER")) return;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, !set("DISPLAY") && set("WAYLAND_DISPLAY") ? "wayland" : "x11");
}

bool initVideo()
{
    if (sdl.videoReady) return true;
    chooseVideoDriver();
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    sdl.videoReady = true;
    SDL_DisableScreenSaver();
    return true;
}

// Video drivers that draw into memory: a window there is seen by nobody.
bool driverShowsNothing(const char* driver)
{
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// Names the display that could not be had and what to do instead, in one line.
void reportNoDisplay(const char* driver)
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value ? std::string(name) + "=" + value : std::string();
    };
    const std::string x11 = set("DISPLAY"), wayland = set("WAYLAND_DISPLAY"), forced = set("SDL_VIDEODRIVER");
    std::string why;
    if (!forced.empty() && driver) {
        why = "the video driver \"" + std::string(driver) + "\" (" + forced + ") shows no window";
    } else if (!x11.empty() || !wayland.empty()) {
        why = "cannot open the display " + x11 + (!x11.empty() && !wayland.empty() ? " or " : "") + wayland;
        if (!forced.empty()) why += " with " + forced;
    } else {
        why = "no display to show the demo on (DISPLAY and WAYLAND_DISPLAY are not set)";
    }
    std::fprintf(stderr,
                 "nordglow: %s; start it in a desktop session (or under Xvfb), or render it without a "
                 "display with nordglow-capture.\n",
                 why.c_str());
}

// SDL waits for a message box in a call that its own signal handling cannot
// break: on X11 the box runs in a forked child that the program waits for,
// on Wayland in a zenity process. While a box is up, SIGTERM and SIGINT end
// the program at once, as a close would, and every process forked for the
// box dies with it.
struct BoxState {
    volatile std::sig_atomic_t showing = 0;
    pid_t owner = 0;   // the process that shows the box
};

BoxState box;

void endDuringBox(int)
{
    _exit(0);
}

// Runs in every child forked while a box is up, before SDL's own code there.
void tieBoxChildToOwner()
{
    if (!box.showing) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != box.owner) _exit(1);   // the owner ended before the tie was made
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

int showBoxEndingOnSignal(const SDL_MessageBoxData& data, int* pressed)
{
    static const bool hooked = pthread_atfork(nullptr, nullptr, tieBoxChildToOwner) == 0;
    (void)hooked;
    struct sigaction ending {};
    ending.sa_handler = endDuringBox;
    sigemptyset(&ending.sa_mask);
    struct sigaction oldTerm {}, oldInt {};
    box.owner = getpid();
    box.showing = 1;
    sigaction(SIGTERM, &ending, &oldTerm);
    sigaction(SIGINT, &ending, &oldInt);
    const int result = SDL_ShowMessageBox(&data, pressed);
    sigaction(SIGTERM, &oldTerm, nullptr);
    sigaction(SIGINT, &oldInt, nullptr);
    box.showing = 0;
    return result;
}

// Maps SDL keys to the virtual-key codes the demo reads; 0 for others.
int virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return plat::VkA + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return plat::Vk0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return plat::VkF1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE: return plat::VkEscape;
    case SDLK_UP: return plat::VkUp;
    case SDLK_DOWN: return plat::VkDown;
    case SDLK_LEFT: return plat::VkLeft;
    case SDLK_RIGHT: return plat::VkRight;
    case SDLK_SPACE: return plat::VkSpace;
    case SDLK_RETURN: return plat::VkReturn;
    default: return 0;
    }
}

} // namespace

namespace plat {

bool openDisplay()
{
    const bool ready = initVideo();
    const char* driver = ready ? SDL_GetCurrentVideoDriver() : nullptr;
    if (ready && !driverShowsNothing(driver)) return true;
    reportNoDisplay(driver);
    return false;
}

Answer showMessageBox(const char* text, const char* caption, Buttons buttons, Icon icon)
{
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if (icon == Icon::Exclamation) flags = SDL_MESSAGEBOX_WARNING;
    if (icon == Icon::Stop) flags = SDL_MESSAGEBOX_ERROR;
    SDL_MessageBoxButtonData okButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"}};
    SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"}};
    SDL_MessageBoxData data{};
    data.flags = flags;
    data.window = nullptr;
    data.title = caption;
    data.message = text;
    if (buttons == Buttons::YesNo) {
        data.numbuttons = 2;
        data.buttons = yesNoButtons;
    } else {
        data.numbuttons = 1;
        data.buttons = okButtons;
    }
    int pressed = -1;
    initVideo();
    if (showBoxEndingOnSignal(data, &pressed) != 0) {
        // No display to show it on: say it on the terminal and take the default.
        std::fprintf(stderr, "%s: %s (%s)\n", caption, text, SDL_GetError());
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    if (buttons == Buttons::Ok) return Answer::Ok;
    return pressed == 1 ? Answer::Yes : Answer::No;
}

bool fullScreenAvailable()
{
    if (!initVideo()) return false;
    SDL_DisplayMode desktop{};
    return SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0;
}

void showCursor(bool visible)
{
    if (sdl.videoReady) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

WindowResult createWindow(const WindowDesc& desc)
{
    if (!initVideo()) return WindowResult::RegisterClassFailed;
    destroyWindow();

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    // Full screen covers the display at its current resolution (no mode
    // change); the drawable has the display's own pixels on HiDPI screens.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (desc.fullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // Placed at the top-left corner of the screen, full screen or not.
    int width = desc.width, height = desc.height;
    SDL_DisplayMode desktop{};
    if (desc.fullScreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        // Made at the display's size as well, for X servers without a window
        // manager to carry out the full-screen request.
        width = desktop.w;
        height = desktop.h;
    }
    SDL_Window* window = SDL_CreateWindow(desc.title, 0, 0, width, height, flags);
    if (!window) {
        // The window itself is fine; the GL pixel format asked for is what failed.
        std::fprintf(stderr, "SDL window: %s\n", SDL_GetError());
        return WindowResult::ChoosePixelFormatFailed;
    }
    // The window's own icon (title bar, task switcher); without it the
    // window manager shows a generic one, so a failure here is no failure.
    if (SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<unsigned char*>(WindowIconRgba), WindowIconSize, WindowIconSize, 32, WindowIconSize * 4,
            SDL_PIXELFORMAT_RGBA32)) {
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }

    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "SDL GL context: %s\n", SDL_GetError());
        SDL_DestroyWindow(window);
        return WindowResult::CreateContextFailed;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        return WindowResult::MakeCurrentFailed;
    }
    // Vsync where the driver allows it (adaptive first) so that full screen does
    // not tear; -1 (unsupported) is a normal answer.
    if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);

    sdl.window = window;
    sdl.context = context;
    return WindowResult::Ok;
}

void destroyWindow()
{
    if (sdl.context) SDL_GL_DeleteContext(sdl.context);
    if (sdl.window) SDL_DestroyWindow(sdl.window);
    sdl.context = nullptr;
    sdl.window = nullptr;
}

void raiseWindow()
{
    if (!sdl.window) return;
    SDL_ShowWindow(sdl.window);
    SDL_RaiseWindow(sdl.window);
    SDL_SetWindowInputFocus(sdl.window);
}

void presentFrame()
{
    if (sdl.window) SDL_GL_SwapWindow(sdl.window);
}

void getClientSize(int* width, int* height)
{
    *width = *height = 0;
    if (sdl.window) SDL_GL_GetDrawableSize(sdl.window, width, height);
}

bool pollEvent(Event* event)
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        *event = Event{};
        switch (e.type) {
        case SDL_QUIT:
            event->type = EventType::Close;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int vk = virtualKey(e.key.keysym.sym);
            if (vk == 0) continue;
            if (e.type == SDL_KEYUP) event->type = EventType::KeyUp;
            else event->type = e.key.repeat ? EventType::KeyRepeat : EventType::KeyDown;
            event->key = vk;
            return true;
        }
        case SDL_WINDOWEVENT:
            // Events still queued for a window the full-screen toggle replaced.
            if (!sdl.window || e.window.windowID != SDL_GetWindowID(sdl.window)) continue;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                event->type = EventType::Close;
                return true;
            case SDL_WINDOWEVENT_MINIMIZED:
                event->type = EventType::Activate;
                event->minimised = true;
                return true;
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_FOCUS_LOST:
                event->type = EventType::Activate;
                event->minimised = (SDL_GetWindowFlags(SDL_GetWindowFromID(e.window.windowID)) &
                                    SDL_WINDOW_MINIMIZED) != 0;
                return true;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                // The event gives screen units; the picture wants drawable pixels.
                event->type = EventType::Resize;
                event->width = e.window.data1;
                event->height = e.window.data2;
                if (SDL_Window* w = SDL_GetWindowFromID(e.window.windowID)) {
                    SDL_GL_GetDrawableSize(w, &event->width, &event->height);
                }
                return true;
            default:
                continue;
            }
        default:
            continue;
        }
    }
    return false;
}

void sleepMs(unsigned milliseconds)
{
    SDL_Delay(milliseconds);
}

bool clockIsVirtual()
{
    return false;
}

} // namespace plat
