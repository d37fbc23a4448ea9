// Records what a piece of drawing code sends to GL, after transformation and
// clipping, through GL feedback mode: polygons with window coordinates and
// colours. Lets tests count primitives and check where they land.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <vector>

struct FeedbackVertex {
    float x, y, z;   // window coordinates
    float r, g, b, a;
};
using FeedbackPolygon = std::vector<FeedbackVertex>;

// Runs draw in feedback mode (GL_3D_COLOR) and returns its polygons; points,
// lines and pixel records are skipped.
template <typename Draw>
std::vector<FeedbackPolygon> capturePolygons(Draw draw, std::size_t capacity = 1u << 21)
{
    std::vector<GLfloat> buffer(capacity);
    glFeedbackBuffer(static_cast<GLsizei>(capacity), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPolygon> polygons;
    if (used < 0) return polygons;  // overflow: the caller sees no polygons
    auto vertexAt = [&](GLint at) {
        const GLfloat* v = &buffer[static_cast<std::size_t>(at)];
        return FeedbackVertex{v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
    };
    constexpr GLint VertexFloats = 7;
    for (GLint at = 0; at < used;) {
        const auto token = static_cast<GLenum>(buffer[static_cast<std::size_t>(at++)]);
        switch (token) {
        case GL_POLYGON_TOKEN: {
            const auto count = static_cast<GLint>(buffer[static_cast<std::size_t>(at++)]);
            FeedbackPolygon polygon;
            for (GLint k = 0; k < count; ++k, at += VertexFloats) polygon.push_back(vertexAt(at));
            polygons.push_back(polygon);
            break;
        }
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN: at += 2 * VertexFloats; break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN: at += VertexFloats; break;
        case GL_PASS_THROUGH_TOKEN: at += 1; break;
        default: return polygons;  // unknown record: stop rather than misread
        }
    }
    return polygons;
}

// Sets an orthographic projection whose window coordinates are eye x - left
// and eye y + 300 (with the 800 x 600 viewport), eye z from -1000 to 1000, so
// every piece of a scene lands inside the view volume.
inline void useWideOrtho(double left = 0.0)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, left + 800.0, -300.0, 300.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
