// The decorative frame over the main part's picture.
#pragma once

// Multiplies the picture by the frame mask and adds the frame artwork; leaves
// the modelview matrix at the overlay distance, blending on with (ONE, ONE),
// depth test off. Only the rectangles where the two frame textures can change
// the picture are drawn (the cover); the colours are the same as a draw of
// the whole quad.
void drawFrameOverlay();

// Rectangles of the cover the last frame overlay drew in (0: drawn whole).
int frameOverlayCoverRects();
// The cover is worked out once per context and picture size: the set-up
// calls this for each new context, and a new size (the picture transform's
// generation) or new texture names also start it afresh.
void forgetFrameOverlayCover();
// Works out the cover for the current picture transform ahead of the first
// frame overlay, without drawing: the intro calls it in the pause before the
// main song, the set-up's warm-up after a new window in the main part.
void prepareFrameOverlayCover();
