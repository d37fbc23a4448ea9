// The plain vectors of positions, normals and texture coordinates.
#pragma once

struct Vector3 {
    float x = 0, y = 0, z = 0;

    bool operator==(const Vector3&) const = default;
};

struct Vector2 {
    float u = 0, v = 0;

    bool operator==(const Vector2&) const = default;
};
