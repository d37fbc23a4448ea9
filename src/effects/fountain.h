// The mirrored fountain scene: floor, mirror image, fountain and spray.
#pragma once

#include "core/frame_input.h"
#include "effects/particles.h"

struct FountainState {
    float MirrorAngle = 0.0f;                 // radians; camera angle, + FrameDelta * 0.0005 per scene draw; also turns the spray spheres
    float CameraEye[3] = {0.0f, 0.0f, 0.0f};  // eye of the current frame (set to 0 by the scene set-up)

    bool operator==(const FountainState&) const = default;
};

// The floor quad ("bg" texture) at y = 0 of the scene frame. Leaves blending
// on, sphere-map generation off for s and t, the colour white.
void drawFloor();
// The fountain model and its spray, raised by sphereHeight; the spray drawn
// `sprayAt` pool steps from its state (see drawSprayPool), its spheres turned
// by the camera's angle. Leaves depth testing on and blending off.
void drawFountainGroup(const FountainState& fountain, const ParticleState& particles, float sprayAt,
                       float sphereHeight);
// Channels the first, colour-masked floor pass writes: green from a level of
// 0.1 of the second reading, blue from 0.2 of the first.
struct FloorFlashMask {
    bool green, blue;
};
FloorFlashMask floorFlashMask(float firstReading, float secondReading);

// The whole scene with its own camera: replaces the modelview matrix, so the
// caller pushes and pops around it. Reads the frame delta and the VU of VuChannel;
// the spray takes two pool steps per step, before it is drawn in the mirror
// and for real, each showing at its own place between them.
void drawMirroredFountain(FountainState& fountain, ParticleState& particles, RandomGenerator& random,
                          const FrameInput& in);
// The same with the floor flash's channels given instead of read from the VU.
void drawMirroredFountain(FountainState& fountain, ParticleState& particles, RandomGenerator& random,
                          FloorFlashMask mask, const FrameInput& in);
