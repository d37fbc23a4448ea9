// The picture transform: the demo draws one 800 x 600 logical picture, and
// this maps it onto a drawable of any size with one uniform scale, centred,
// with black bars on the sides it does not fill. The window layer writes it
// (setPictureDrawable, on window creation and every size change); every other
// layer reads it. Every pixel value given to GL goes through it.
#pragma once

constexpr int PictureWidth = 800;   // logical picture, pixels
constexpr int PictureHeight = 600;

// Drawable pixels, origin at the bottom-left, as glViewport and glScissor take them.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PictureRect&) const = default;
};

struct PictureTransform {
    int drawableWidth = PictureWidth;                     // pixels of the window's GL drawable
    int drawableHeight = PictureHeight;
    double scale = 1.0;                                   // drawable pixels per picture pixel
    PictureRect area{0, 0, PictureWidth, PictureHeight};  // where the picture lies
    unsigned generation = 0;                              // changes with every setPictureDrawable

    bool operator==(const PictureTransform&) const = default;
};

// Written only by setPictureDrawable and restorePictureTransform; 800 x 600
// at scale 1 until then.
extern const PictureTransform& Picture;

// Fits the picture into a drawable of width x height pixels (each at least 1):
// scale min(W / 800, H / 600), the picture's size rounded, centred.
void setPictureDrawable(int width, int height);
// Puts back a transform read from Picture earlier, generation included (the
// tests start each case from the program-start one).
void restorePictureTransform(const PictureTransform& saved);

// A rectangle of the picture (picture pixels, origin bottom-left) in drawable
// pixels. Each edge is mapped on its own and rounded, so rectangles that touch
// in the picture still touch; the result is cut to the picture's area.
PictureRect mapPictureRect(int x, int y, int width, int height);

// A width in picture pixels (line width, point size) in drawable pixels.
float scalePictureLength(float pixels);

// ---- GL helpers ------------------------------------------------------------
// glViewport to the picture's area.
void setPictureViewport();
// glScissor to a rectangle of the picture (see mapPictureRect); does not
// enable the test.
void setPictureScissor(int x, int y, int width, int height);
// Clears the bars beside the picture to black; nothing when the picture fills
// the drawable. Leaves the clear colour and the scissor test and box as found.
void clearPictureBars();
