// Where the demo stands, for the programs that run it.
#include "shell/demo.h"

#include "timeline/timeline.h"

const char* demoPhaseName() { return currentPhaseName(); }
const char* demoSceneName() { return currentSceneName(); }
double demoSongTime() { return Clock.SongTime; }
bool demoCopiedFrameTaken() { return Timeline.RenderPassDone; }
