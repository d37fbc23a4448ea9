// Where the demo stands, for the programs that run it.
#include "shell/demo.h"

#include "shell/demo_state.h"
#include "timeline/intro.h"
#include "timeline/timeline.h"

const char* demoPhaseName() { return currentPhaseName(demoState().timeline, demoState().shell.Controls); }
const char* demoSceneName() { return demoState().timeline.FrameScene; }
std::vector<const char*> demoSceneNames()
{
    std::vector<const char*> names{"intro"};
    for (const ScheduleRow& row : MainPartSchedule) {
        if (row.scene) names.push_back(row.scene);
    }
    names.push_back("scroller");
    return names;
}
double demoSongTime() { return demoState().shell.Clock.SongTime; }
// The intro's question is the demo's only pause: the main part and the end
// scroller present every frame.
double demoPauseAfterNextFrameMs() { return introPauseAfterNextFrameMs(demoState().intro); }
bool demoCopiedFrameTaken() { return demoState().timeline.RenderPassDone; }
