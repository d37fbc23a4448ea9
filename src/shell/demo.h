// The demo as a program that runs it sees it (the capture tool): the run
// itself and where the last frame stands. Nothing else of src/ is for tools.
#pragma once

#include <vector>

// Entry of the demo: start question, window, music, main loop, shutdown.
// Returns the exit code.
int runDemo();

// "intro", "main" or "end": the phase the demo is in.
const char* demoPhaseName();
// Scene the last frame drew, for statistics (names as in nordglow-capture --stats).
const char* demoSceneName();
// Every scene name demoSceneName gives, in the order they come.
std::vector<const char*> demoSceneNames();
// Play position of the current song as the last frame read it, ms.
double demoSongTime();
// How long the demo pauses, presenting nothing while its time runs on,
// right after presenting the frame it draws next, ms; 0 when it goes
// straight on. Asked between frames.
double demoPauseAfterNextFrameMs();
// Whether the one frame whose picture the demo copies into a texture for
// later use has been drawn: until then every frame must be rasterised.
bool demoCopiedFrameTaken();
