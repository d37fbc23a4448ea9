// Screen layout of the main part: the seven clip panels, the 2-D overlay
// mode, the two panel passes and the decorative frame overlay.
#pragma once

extern float BlobPhase;  // radians; advanced by the second panel pass

// The decorative frame and the end scroller's backdrop: a quad of these
// half-extents at this z about fills the 45-degree perspective view.
constexpr float OverlayDistance = -3.05f;
constexpr float OverlayHalfWidth = 1.67f;
constexpr float OverlayHalfHeight = 1.27f;

// Each sets its rectangle and enables the scissor test (never disables it).
void clipMainPanel();
void clipSidePanel1();
void clipSidePanel2();
void clipSidePanel3();
void clipSidePanel4();
void clipMeterStrip();
void clipTallStrip();

// 800 x 600 pixel space, origin top-left, y down. Both leave GL_MODELVIEW selected.
void enterOverlay2D();
void leaveOverlay2D();

// Before the scene: spark panel, meter strip, tall colour strip, binary
// readout; ends with the main panel's clip set.
void drawFirstPanelPass();
// After the scene: blob cores, bottom colour panel; ends with the scissor test off.
void drawSecondPanelPass();
// Multiplies the picture by the frame mask and adds the frame artwork; leaves
// the modelview matrix at the overlay distance, blending on with (ONE, ONE),
// depth test off. Only the rectangles where the two frame textures can change
// the picture are drawn (see frameOverlayCoverRects); the colours are the same
// as a draw of the whole quad.
void drawFrameOverlay();

// Rectangles of the cover the last frame overlay drew in (0: drawn whole).
int frameOverlayCoverRects();
// The cover is worked out once per pair of frame texture names and picture
// transform (context and size); call this when the pixels of those textures
// change under the same names.
void forgetFrameOverlayCover();
// Works out the cover for the current viewport and projection ahead of the
// first frame overlay, without drawing: the intro calls it in the pause before
// the main song, the set-up's warm-up after a new window in the main part.
void prepareFrameOverlayCover();
