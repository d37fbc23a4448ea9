// The landscape flights: a camera turning over the height field with the
// fighter hanging in front of it.
#include "timeline/flights.h"

#include "assets/heightfield_draw.h"
#include "assets/model.h"
#include "core/controls.h"
#include "timeline/timeline.h"

#include <GL/gl.h>

#include <cmath>

float CameraYaw = 90.0f;
Vector3 CameraPosition{20.0f, 16.0f, 20.0f};
bool BankRight = true;

namespace {

constexpr float TurnRate = 0.01f;   // degrees per ms, yaw and bank
constexpr float FlightSpeed = 0.005f;  // units per ms
constexpr float DegreesToRadians = 0.017453292f;

void moveCamera()
{
    const float h = CameraYaw * DegreesToRadians;
    const float p = CameraPitch * DegreesToRadians;
    const double step = FrameDelta * FlightSpeed;
    CameraPosition.x = static_cast<float>(CameraPosition.x + std::sin(h) * step);
    CameraPosition.z = static_cast<float>(CameraPosition.z - std::cos(h) * step);
    CameraPosition.y = static_cast<float>(CameraPosition.y - std::sin(p) * step);
}

void drawFlight(float pitchSign)
{
    glPushMatrix();
    glRotatef(CameraRoll, 0.0f, 0.0f, 1.0f);
    glRotatef(pitchSign * CameraPitch, 1.0f, 0.0f, 0.0f);
    glRotatef(CameraYaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-CameraPosition.x, -CameraPosition.y - 0.1f, -CameraPosition.z);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    drawHeightField(CameraPosition.x, CameraPosition.z);

    // The fighter in eye space: 2 units ahead, 0.1 right, turned against the roll.
    glPushMatrix();
    glLoadIdentity();
    glRotatef(-CameraRoll, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.1f, 0.0f, -2.0f);
    drawModel(fighterModel);
    glPopMatrix();

    glDisable(GL_LIGHTING);
    glPopMatrix();
}

} // namespace

void flyRight()
{
    CameraYaw = static_cast<float>(CameraYaw + FrameDelta * TurnRate);
    if (BankRight) {
        CameraRoll = static_cast<float>(CameraRoll + FrameDelta * TurnRate);
        if (CameraRoll >= 15.0f) BankRight = false;
    }
    moveCamera();
    drawFlight(1.0f);
}

void flyLeft(double t)
{
    CameraYaw = static_cast<float>(CameraYaw - FrameDelta * TurnRate);
    if (!BankRight) {
        CameraRoll = static_cast<float>(CameraRoll - FrameDelta * TurnRate);
        if (CameraRoll <= -15.0f) BankRight = true;
    }
    moveCamera();
    // From 24 s the view tilts against the pitch; the motion keeps its sign.
    drawFlight(t >= 24000.0 ? -1.0f : 1.0f);
}
