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
// Drops the cover; until the next prepare the overlay is drawn whole. The
// set-up calls this for each new context.
void forgetFrameOverlayCover();
// Works out the cover for the frame textures and the picture transform
// without drawing, and lets the overlay use it from then on; it is worked out
// again only when the picture's size or the texture names change. The intro
// calls it in the pause before the main song, the set-up's warm-up after a
// new window in the main part.
void prepareFrameOverlayCover();
