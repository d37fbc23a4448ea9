// Controls of the headless backend, for the capture tool and the tests: the
// virtual clock, scripted answers and events, frame and audio taps.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace headless {

// Frames per second of the virtual clock: each present advances it by
// 1000 / fps ms, each sleep by its length. Default 60.
void setFramesPerSecond(double fps);
double framesPerSecond();
// Milliseconds of virtual time since the process started.
double virtualTimeMs();

// Answers for Yes/No boxes, used in order; once used up a box gets its
// default button (Yes). Every box is written to stderr as "CAPTION: TEXT"
// unless quiet.
void queueAnswer(plat::Answer answer);
void setQuietMessages(bool quiet);
struct MessageRecord { std::string text, caption; };
const std::vector<MessageRecord>& messageLog();
void clearMessageLog();

// Events delivered by pollEvent before anything else.
void pushEvent(const plat::Event& event);

// Called by presentFrame after the frame is finished (glFinish), before the
// clock advances. The hook may read the frame with readFrame.
void setPresentHook(std::function<void()> hook);
// Wall-clock milliseconds spent between the end of the previous present and
// the end of this frame's glFinish: the cost of the frame just presented.
double lastFrameCostMs();
// The presented frame as tightly packed RGB rows, top row first.
void readFrame(std::vector<std::uint8_t>* rgb, int* width, int* height);
// The presented frame where the renderer left it: RGBA rows, bottom row
// first, valid until the next frame is drawn. Null without a window.
const std::uint8_t* frameRgba(int* width, int* height);

// Which frames are rasterised. policy(ms) gets the demo time at which the
// frame now being drawn will be presented: at the start of every frame (after
// a present, and when a window is made) and again after every sleep, which
// moves that time on. While it answers false the renderer drops every draw
// and clear: all GL calls still run, so the GL state and the renderer's
// buffer of immediate-mode vertices afterwards are those a full draw leaves,
// but no pixel is made. The switch happens only at those points, where the
// demo has no drawing under way (it sleeps only right after a present, and
// redraws the whole picture after a sleep). No policy (the default): every
// frame is rasterised.
void setRasterPolicy(std::function<bool(double presentMs)> policy);
// Whether the frame presented last was rasterised when it was presented.
bool lastFrameRasterised();

// Whether musicInit finds an audio device (default true).
void setAudioDeviceAvailable(bool available);
// Receives every block of mixed audio, interleaved stereo 16-bit at the mix
// rate, in lockstep with the virtual clock.
void setAudioSink(std::function<void(const std::int16_t* samples, std::size_t frames, int rate)> sink);

// What the windows are drawn on: a GPU, Mesa's software renderer
// (llvmpipe), or the GPU where one can draw and else the software renderer.
enum class Renderer { Auto, Gpu, Software };
// The renderer of the windows made from now on (a window of another one is
// closed). Default Software, the same pictures on every machine.
void useRenderer(Renderer renderer);
// Opens the chosen renderer now, so that a missing one is known before a
// window is asked for. False, with the reason, when it cannot draw (Gpu on a
// machine without a GPU that EGL can draw on).
bool openRenderer(std::string* error);
// GL_RENDERER and GL_VERSION of the renderer opened; empty before that.
std::string rendererName();
std::string rendererVersion();

// Whether a window (an EGL context and its pbuffer) currently exists.
bool windowExists();
// Full-screen flag of the current window.
bool windowIsFullScreen();
// Whether a full-screen window can be had (default true).
void setFullScreenAvailable(bool available);
// Whether a full-screen window, its size known, fails to be made (default
// false): createWindow then fails for full screen only, as the live
// backend's does when no window with the GL format asked for can be made.
void setFullScreenWindowFails(bool fails);
// Drawable size of every window created from now on, as a full-screen window
// on a display of that size or a window resized to it; 0 x 0 (the default):
// the client size asked for.
void setDrawableSize(int width, int height);

// Puts the backend back as it was at process start: no window, no music, the
// clock at 0, no queued answers or events, no hooks or sinks. For tests that
// run one after another in one process.
void resetBackend();

} // namespace headless
