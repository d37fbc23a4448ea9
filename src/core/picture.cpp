// The picture transform and the few GL calls that apply it.
#include "core/picture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

PictureTransform State;

// Edge of the picture at picture coordinate v (0..size) in drawable pixels.
int mapEdge(double v, int size, int origin, int scaledSize)
{
    return origin + static_cast<int>(std::floor(v * scaledSize / size + 0.5));
}

} // namespace

const PictureTransform& Picture = State;

void setPictureDrawable(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    const double scale = std::min(static_cast<double>(width) / PictureWidth,
                                  static_cast<double>(height) / PictureHeight);
    const int w = std::clamp(static_cast<int>(std::lround(PictureWidth * scale)), 1, width);
    const int h = std::clamp(static_cast<int>(std::lround(PictureHeight * scale)), 1, height);
    State.drawableWidth = width;
    State.drawableHeight = height;
    State.scale = scale;
    State.area = {(width - w) / 2, (height - h) / 2, w, h};
    ++State.generation;
}

void restorePictureTransform(const PictureTransform& saved)
{
    State = saved;
}

PictureRect mapPictureRect(int x, int y, int width, int height)
{
    const PictureRect& a = State.area;
    const int x0 = std::clamp(mapEdge(x, PictureWidth, a.x, a.width), a.x, a.x + a.width);
    const int x1 = std::clamp(mapEdge(static_cast<double>(x) + width, PictureWidth, a.x, a.width), a.x, a.x + a.width);
    const int y0 = std::clamp(mapEdge(y, PictureHeight, a.y, a.height), a.y, a.y + a.height);
    const int y1 = std::clamp(mapEdge(static_cast<double>(y) + height, PictureHeight, a.y, a.height), a.y, a.y + a.height);
    return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

float scalePictureLength(float pixels)
{
    return static_cast<float>(pixels * State.scale);
}

void setPictureViewport()
{
    glViewport(State.area.x, State.area.y, State.area.width, State.area.height);
}

void setPictureScissor(int x, int y, int width, int height)
{
    const PictureRect r = mapPictureRect(x, y, width, height);
    glScissor(r.x, r.y, r.width, r.height);
}

void clearPictureBars()
{
    const PictureTransform& p = State;
    const PictureRect& a = p.area;
    if (a.x == 0 && a.y == 0 && a.width == p.drawableWidth && a.height == p.drawableHeight) return;

    GLfloat clear[4];
    GLint box[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetIntegerv(GL_SCISSOR_BOX, box);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    const PictureRect bars[4] = {
        {0, 0, a.x, p.drawableHeight},                                                  // left
        {a.x + a.width, 0, p.drawableWidth - a.x - a.width, p.drawableHeight},          // right
        {a.x, 0, a.width, a.y},                                                         // bottom
        {a.x, a.y + a.height, a.width, p.drawableHeight - a.y - a.height},              // top
    };
    for (const PictureRect& b : bars) {
        if (b.width <= 0 || b.height <= 0) continue;
        glScissor(b.x, b.y, b.width, b.height);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissor) glDisable(GL_SCISSOR_TEST);
}
