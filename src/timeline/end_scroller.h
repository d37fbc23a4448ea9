// The end scroller: 3-D text lines rising over the backdrop.
#pragma once

struct EndScrollerState {
    float ScrollOffset = 0.0f;  // GL units; grows 2 per second of song time

    bool operator==(const EndScrollerState&) const = default;
};

// One frame of the last phase: backdrop, all 24 lines, then the scroll step.
void drawEndScroller(EndScrollerState& scroller, double frameDelta);

// Lines in the table (all drawn on every frame).
int endScrollerLineCount();
