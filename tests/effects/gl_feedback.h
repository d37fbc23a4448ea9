// Records what GL would rasterise (window coordinates and clamped colours of
// every polygon vertex) through feedback mode, for tests that check geometry.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <vector>

struct FeedbackVertex {
    float x, y, z;     // window coordinates, origin bottom-left
    float r, g, b, a;  // colour after clamping
};

using FeedbackPolygon = std::vector<FeedbackVertex>;

// Runs draw() in GL_3D_COLOR feedback mode and returns its polygons.
inline std::vector<FeedbackPolygon> capturePolygons(const std::function<void()>& draw)
{
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPolygon> polygons;
    auto vertexAt = [&](GLint i) {
        return FeedbackVertex{buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 3],
                              buffer[i + 4], buffer[i + 5], buffer[i + 6]};
    };
    constexpr GLint VertexFloats = 7;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const GLint n = static_cast<GLint>(buffer[i++]);
            FeedbackPolygon polygon;
            for (GLint k = 0; k < n; ++k, i += VertexFloats) polygon.push_back(vertexAt(i));
            polygons.push_back(polygon);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 2 * VertexFloats;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            i += VertexFloats;  // point, bitmap, draw and copy pixel tokens
        }
    }
    return polygons;
}
