// The landscape flights: a camera turning over the height field with the
// fighter hanging in front of it.
#include "timeline/flights.h"

#include "effects/heightfield_draw.h"
#include "assets/model.h"

#include <GL/gl.h>

#include <cmath>

FlightState Flight;

namespace {

constexpr float TurnRate = 0.01f;   // degrees per ms, yaw and bank
constexpr float FlightSpeed = 0.005f;  // units per ms
constexpr float DegreesToRadians = 0.017453292f;

void moveCamera(const FrameInput& in)
{
    const float h = Flight.CameraYaw * DegreesToRadians;
    const float p = in.controls.CameraPitch * DegreesToRadians;
    const double step = in.frameDelta * FlightSpeed;
    Flight.CameraPosition.x = static_cast<float>(Flight.CameraPosition.x + std::sin(h) * step);
    Flight.CameraPosition.z = static_cast<float>(Flight.CameraPosition.z - std::cos(h) * step);
    Flight.CameraPosition.y = static_cast<float>(Flight.CameraPosition.y - std::sin(p) * step);
}

void drawFlight(float pitchSign, float roll, float pitch)
{
    glPushMatrix();
    glRotatef(roll, 0.0f, 0.0f, 1.0f);
    glRotatef(pitchSign * pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(Flight.CameraYaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-Flight.CameraPosition.x, -Flight.CameraPosition.y - 0.1f, -Flight.CameraPosition.z);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    drawHeightField(Flight.CameraPosition.x, Flight.CameraPosition.z);

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

void flyRight(const FrameInput& in, float& roll)
{
    Flight.CameraYaw = static_cast<float>(Flight.CameraYaw + in.frameDelta * TurnRate);
    if (Flight.BankRight) {
        roll = static_cast<float>(roll + in.frameDelta * TurnRate);
        if (roll >= 15.0f) Flight.BankRight = false;
    }
    moveCamera(in);
    drawFlight(1.0f, roll, in.controls.CameraPitch);
}

void flyLeft(const FrameInput& in, float& roll)
{
    Flight.CameraYaw = static_cast<float>(Flight.CameraYaw - in.frameDelta * TurnRate);
    if (!Flight.BankRight) {
        roll = static_cast<float>(roll - in.frameDelta * TurnRate);
        if (roll <= -15.0f) Flight.BankRight = true;
    }
    moveCamera(in);
    // From 24 s the view tilts against the pitch; the motion keeps its sign.
    drawFlight(in.songTime >= 24000.0 ? -1.0f : 1.0f, roll, in.controls.CameraPitch);
}
