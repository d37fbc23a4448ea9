// The two landscape flights of the main part's first 26.5 s.
#pragma once

#include "core/frame_input.h"
#include "core/vector.h"
#include "effects/heightfield_gen.h"

// Camera of both flights (never reset; carries over from the right turn to the left).
struct FlightState {
    float CameraYaw = 90.0f;                      // degrees, 90 at start; +/- FrameDelta * 0.01 per frame
    Vector3 CameraPosition{20.0f, 16.0f, 20.0f};  // GL units, (20, 16, 20) at start; 5 units per s along the heading
    bool BankRight = true;                        // bank rule: true while the right turn may still roll right

    bool operator==(const FlightState&) const = default;
};

// One frame of each flight. The camera's roll is the controls' (keys A/D)
// banked by the flight: `roll` comes in as the frame's and leaves as the one
// the frame drew with, which the shell keeps for the next frame.
void flyRight(FlightState& flight, const HeightFieldData& field, const FrameInput& in, float& roll);
void flyLeft(FlightState& flight, const HeightFieldData& field, const FrameInput& in, float& roll);
