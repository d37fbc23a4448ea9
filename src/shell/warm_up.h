// The set-up's warm-up: every scene drawn once before the song starts, so
// that the renderer meets each combination of GL state the demo draws with
// (and builds its code for it) during loading, not in the middle of a scene.
#pragma once

// Draws the phases still ahead (the render-to-texture pass and the intro
// while the intro runs, each main-part scene with its panels, frame and
// fades, the floor flash in each of its channel masks, the end scroller) into
// the back buffer, from a copy of the running demo's animation state, which
// stays as it was; then puts back every GL state and matrix, and clears the
// buffers. Expects the set-up's GL state and a
// current context; calls no music function that changes anything.
void warmUpScenes();
