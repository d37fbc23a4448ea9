// The one seam between the demo and the outside world: windowing, GL context,
// events, message boxes, sleeping, outline glyphs and music. Two backends
// implement all of it: sdl/ (live window, live audio) and headless/ (EGL
// offscreen, virtual clock). CMake links exactly one of them.
#pragma once

#include <cstdint>

namespace plat {

// ---- display ---------------------------------------------------------------
// Connects to the display that windows and boxes appear on. False when none
// can show a window (no X11 or Wayland display reachable, or only a video
// driver that draws into memory); one line on standard error then names the
// display and what to do instead.
bool openDisplay();

// ---- message boxes ---------------------------------------------------------
enum class Buttons { Ok, YesNo };
enum class Icon { None, Exclamation, Stop, Question, Asterisk };
enum class Answer { Ok, Yes, No };

// Modal box with no owner window. Returns the button pressed. SIGTERM or
// SIGINT while it is up ends the program with exit code 0, as a close does.
Answer showMessageBox(const char* text, const char* caption, Buttons buttons, Icon icon);

// ---- full screen and window ------------------------------------------------
// Whether a full-screen window at the display's current resolution can be
// made. The display mode itself is never changed.
bool fullScreenAvailable();
void showCursor(bool visible);

// The steps of window creation that can fail, in the order they run.
enum class WindowResult {
    Ok,
    RegisterClassFailed,   // video subsystem could not be started
    CreateWindowFailed,
    GetDeviceFailed,       // no drawable for the window
    ChoosePixelFormatFailed,
    SetPixelFormatFailed,
    CreateContextFailed,
    MakeCurrentFailed,
};

struct WindowDesc {
    const char* title;
    int width;        // client area of a framed window, in screen units
    int height;
    bool fullScreen;  // borderless, covering the display at its resolution; else framed and resizable
};

// Creates the window with a current GL context: RGBA, double buffer, depth 16
// or more, stencil 1 or more. On failure nothing of it is left behind.
WindowResult createWindow(const WindowDesc& desc);
// Releases the window and its GL context (for the full-screen toggle).
void destroyWindow();
// Shows the window, brings it forward and gives it keyboard focus.
void raiseWindow();
// Presents the back buffer.
void presentFrame();
// Current size of the GL drawable in pixels (0, 0 with no window); on a
// HiDPI display more than the client size in screen units.
void getClientSize(int* width, int* height);

// ---- events ----------------------------------------------------------------
// KeyRepeat: the system's auto-repeat of a key held down since its KeyDown.
enum class EventType { None, KeyDown, KeyUp, KeyRepeat, Activate, Close, Resize, ScreenSaver };

struct Event {
    EventType type = EventType::None;
    int key = 0;            // KeyDown/KeyUp/KeyRepeat: virtual-key code (0x1B Escape, 0x70 F1, ...)
    bool minimised = false; // Activate: true while the window is minimised
    int width = 0;          // Resize: new drawable size in pixels
    int height = 0;
};

// Virtual-key codes the demo reads.
constexpr int VkEscape = 0x1B;
constexpr int VkF1 = 0x70;
constexpr int VkUp = 0x26;
constexpr int VkDown = 0x28;

// Takes one pending event off the queue without waiting. False when none.
bool pollEvent(Event* event);

// ---- time ------------------------------------------------------------------
void sleepMs(unsigned milliseconds);
// True where time is a virtual clock that moves only when frames are presented
// (the headless backend): it never stalls, so however far apart two frames
// lie, the time between them is motion to show, not a hang to skip.
bool clockIsVirtual();

// ---- outline font ----------------------------------------------------------
struct GlyphMetric {
    float blackBoxX, blackBoxY;   // extent of the glyph's ink
    float originX, originY;       // upper-left corner of the ink from the origin
    float cellIncX, cellIncY;     // advance to the next glyph
};

// Compiles `count` display lists from listBase, one per character code from
// `first`, holding the glyphs of the installed face that best matches `family`:
// front and back faces filled, side walls, em height 1.0, extruded `depth`
// along -z, curves flattened to `chordDeviation` (em units) for a picture
// drawn at scale 1; at a larger `scale` each curve is cut into `scale` times
// as many chords, so that a chord is no longer in drawable pixels than at
// scale 1 and lies closer to its curve (scale 1 or less: as at 1). Each list ends by moving the
// origin right by the glyph's advance. Fills metrics[0..count). False when no
// face is found or the outlines cannot be read; the lists are then left empty.
bool buildOutlineGlyphs(const char* family, unsigned listBase, int first, int count,
                        float chordDeviation, float scale, float depth, GlyphMetric* metrics);

// ---- music -----------------------------------------------------------------
using Song = int;   // 0 = no song

// Starts the output. False when no audio device opens; songs then still play
// silently on a monotonic clock. May be called again after musicClose().
bool musicInit(int mixRate, int maxChannels, unsigned flags);
// Stops all sound and frees every song; old handles are dead.
void musicClose();
// Loads a MOD/XM/... module. A file that cannot be read or decoded yields a
// song of silence that still keeps time. Returns 0 only before musicInit.
Song musicLoadSong(const char* path);
// Starts playback from the song's beginning; time counts from 0. At the end
// the song loops and its time keeps counting up.
void musicPlaySong(Song song);
// Milliseconds since play started, following what is heard. Never decreases.
int musicGetTime(Song song);
// 0 silent .. 256 full.
void musicSetMasterVolume(Song song, int volume);
// Current level 0..1 of the playing song's channel (0-based); 0 for a channel
// the song does not have.
float musicGetChannelVU(int channel);

} // namespace plat
