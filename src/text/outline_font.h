// Extruded 3-D text: one display list per character code of a sans-serif face.
#pragma once

#include "core/gl_resources.h"  // OutlineFont and GlyphMetrics, made by BuildOutlineFont

// Builds the glyph lists for the picture's current scale: curves flattened
// to 0.1 em at 800 x 600 and cut into scale times as many chords on a larger
// picture, so that letters are at least as smooth in drawable pixels at any
// size as at 800 x 600.
bool BuildOutlineFont();
void DeleteOutlineFont();
// Rebuilds the lists in place (same names, same advances) when the
// picture's scale has changed enough since they were built to show (or to
// cost) in their curves; nothing when no lists are built.
void FitOutlineFontToPicture();
// False when text printed at the current origin (centred or not) would lie
// wholly outside the view: every corner of its ink's box, front to back, on
// the far side of one clipping plane. Such text can be skipped unseen; true
// whenever any part of it may reach the picture. Reads the current modelview
// and projection matrices (true while a display list is compiled); assumes no
// user clip planes.
bool OutlineTextMayShow(bool centred, const char* text);
// Formats printf-style (at most 255 characters) and draws at the current
// origin; when centred, first moves left by half the summed advances.
void Print3D(bool centred, const char* format, ...) __attribute__((format(printf, 2, 3)));
