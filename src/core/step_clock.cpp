// Song time in whole steps of 1000/60 ms, counted from the song's start in
// integers so that no error builds up however long the song plays.
#include "core/step_clock.h"

#include <algorithm>
#include <cmath>

std::int64_t stepStartMs(std::int64_t index)
{
    // floor(index * 50 / 3), also for the (unused) negative indices
    const std::int64_t n = index * 50;
    return n >= 0 ? n / 3 : -((-n + 2) / 3);
}

double stepLengthMs(std::int64_t index)
{
    return static_cast<double>(stepStartMs(index) - stepStartMs(index - 1));
}

std::int64_t stepIndexAt(double songTimeMs)
{
    if (!(songTimeMs >= 0.0)) return 0;  // NaN and negative times lie before the first step
    // Clocks report whole milliseconds; a fraction cannot reach the next one.
    const double whole = std::floor(std::min(songTimeMs, 1e15));
    const auto ms = static_cast<std::int64_t>(whole);
    // Step k has started once floor(50k / 3) <= ms, that is for k <= (3 ms + 2) / 50.
    return (3 * ms + 2) / 50;
}

StepRun stepsBetween(double previousMs, double currentMs, int maxSteps)
{
    StepRun run;
    run.last = stepIndexAt(currentMs);
    const std::int64_t crossed = run.last - stepIndexAt(previousMs);
    run.count = static_cast<int>(std::clamp<std::int64_t>(crossed, 0, std::max(maxSteps, 0)));
    if (currentMs >= 0.0) {
        const double into = currentMs - static_cast<double>(stepStartMs(run.last));
        run.fraction = static_cast<float>(std::clamp(into / stepLengthMs(run.last + 1), 0.0, 1.0));
        if (run.fraction >= 1.0f) run.fraction = std::nextafter(1.0f, 0.0f);
    }
    return run;
}
