// The end scroller: 24 lines of 3-D text rising over the musix backdrop at
// two units per second of song time. Lines wholly outside the view are
// skipped: most of the 24 are below or above the screen at any time.
#include "timeline/end_scroller.h"

#include "assets/texture_set.h"
#include "text/outline_font.h"
#include "timeline/overlay_quad.h"

#include <GL/gl.h>

namespace {

struct ScrollLine {
    float lowering;  // units below the scroll origin
    float z;         // depth; nearer lines print larger
    const char* text;
};

const ScrollLine Lines[] = {
    {5, -6, "paperLanterns..."},
    {7, -10, "by"},
    {9, -10, "Pellum of velvetOrbits"},
    {17, -10, "Greetings to.."},
    {19, -10, "drelle"},
    {21, -10, "Pomvrin"},
    {23, -10, "Vornel"},
    {25, -10, "Umberlatch Crew"},
    {27, -10, "ppl of #velmora"},
    {29, -10, "and all the others..."},
    {37, -10, "wops, almost forgot.."},
    {39, -10, "Tarnwick"},
    {41, -10, "Oxbellow"},
    {43, -10, "Quaxon"},
    {45, -10, "Wexly"},
    {47, -10, "Glimmerfolk +++"},
    {55, -10, "listen..."},
    {60, -10, "diz tune"},
    {62, -10, "r0x0r my b0xx0r"},
    {67, -14, "** Those who can -- do**"},
    {69, -14, "** Those who can't -- teach**"},
    {71, -14, "** Those who can't teach -- administrate**"},
    {75, -12, "Do NOT press ESC"},
    {77, -12, "Let the tune finish"},
};

} // namespace

int endScrollerLineCount()
{
    return static_cast<int>(sizeof Lines / sizeof Lines[0]);
}

void drawEndScroller(EndScrollerState& scroller, double frameDelta)
{
    // The backdrop adds onto the cleared frame, white and without depth test
    // (the state the end transition hands over, set here so that the first
    // frame does not inherit the transition's last grey).
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);

    glPushMatrix();
    glTranslatef(0.0f, 0.0f, OverlayDistance);
    bindTexture(TexMusix);
    glNormal3f(0.0f, 1.0f, 0.0f);
    drawOverlayQuad(OverlayTexture::HalfTurn);
    glPopMatrix();

    glDisable(GL_LIGHTING);

    // The glyphs carry no texture coordinates: they take the backdrop's last
    // one, (1, 0), with the musix texture still bound.
    for (const ScrollLine& line : Lines) {
        glPushMatrix();
        glTranslatef(0.0f, scroller.ScrollOffset - line.lowering, line.z);
        if (OutlineTextMayShow(true, line.text)) Print3D(true, "%s", line.text);
        glPopMatrix();
    }

    scroller.ScrollOffset = static_cast<float>(scroller.ScrollOffset + frameDelta * 0.002);
}
