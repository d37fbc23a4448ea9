// The landscape flights: a camera turning over the height field with the
// fighter hanging in front of it.
#include "timeline/flights.h"

#include "effects/heightfield_draw.h"
#include "assets/model.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr float TurnRate = 0.01f;   // degrees per ms, yaw and bank
constexpr float FlightSpeed = 0.005f;  // units per ms
constexpr float DegreesToRadians = 0.017453292f;

void moveCamera(FlightState& flight, const FrameInput& in)
{
    const float h = flight.CameraYaw * DegreesToRadians;
    const float p = in.controls.CameraPitch * DegreesToRadians;
    const double step = in.frameDelta * FlightSpeed;
    flight.CameraPosition.x = static_cast<float>(flight.CameraPosition.x + std::sin(h) * step);
    flight.CameraPosition.z = static_cast<float>(flight.CameraPosition.z - std::cos(h) * step);
    flight.CameraPosition.y = static_cast<float>(flight.CameraPosition.y - std::sin(p) * step);
}

void drawFlight(const FlightState& flight, const HeightFieldData& field, float pitchSign, float roll, float pitch)
{
    glPushMatrix();
    glRotatef(roll, 0.0f, 0.0f, 1.0f);
    glRotatef(pitchSign * pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(flight.CameraYaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-flight.CameraPosition.x, -flight.CameraPosition.y - 0.1f, -flight.CameraPosition.z);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    drawHeightField(field, flight.CameraPosition.x, flight.CameraPosition.z);

    // The fighter in eye space: 2 units ahead, 0.1 right, turned against the roll.
    glPushMatrix();
    glLoadIdentity();
    glRotatef(-roll, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.1f, 0.0f, -2.0f);
    drawModel(Assets.fighterModel);
    glPopMatrix();

    glDisable(GL_LIGHTING);
    glPopMatrix();
}

} // namespace

void flyRight(FlightState& flight, const HeightFieldData& field, const FrameInput& in, float& roll)
{
    flight.CameraYaw = static_cast<float>(flight.CameraYaw + in.frameDelta * TurnRate);
    if (flight.BankRight) {
        roll = static_cast<float>(roll + in.frameDelta * TurnRate);
        if (roll >= 15.0f) flight.BankRight = false;
    }
    moveCamera(flight, in);
    drawFlight(flight, field, 1.0f, roll, in.controls.CameraPitch);
}

void flyLeft(FlightState& flight, const HeightFieldData& field, const FrameInput& in, float& roll)
{
    flight.CameraYaw = static_cast<float>(flight.CameraYaw - in.frameDelta * TurnRate);
    if (!flight.BankRight) {
        roll = static_cast<float>(roll - in.frameDelta * TurnRate);
        if (roll <= -15.0f) flight.BankRight = true;
    }
    moveCamera(flight, in);
    // From 24 s the view tilts against the pitch; the motion keeps its sign.
    drawFlight(flight, field, in.songTime >= 24000.0 ? -1.0f : 1.0f, roll, in.controls.CameraPitch);
}
