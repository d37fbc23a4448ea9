// The intro: credit lines swinging between wireframe spheres, the flash, the
// question, and the switch to the main song.
#pragma once

#include "core/frame_input.h"

extern const char* const CreditLines[8];

// Intro state; the demo never resets it.
struct IntroState {
    bool CreditsRunning = true;      // the credit swing is drawn
    int CreditIndex = 0;             // line shown; the spheres have CreditIndex + 3 slices and stacks
    float CreditAngle = 0.0f;        // degrees of the text's swing about y
    bool CreditSwingUp = true;       // direction of the swing
    bool CreditTopArmed = true;      // the next turn is at the top (+90), else at the bottom (-90)
    bool CreditAdvanceArmed = true;  // the next bottom turn moves to the next line
    float SphereSpin = 0.0f;         // degrees of the two spheres' spin
    bool IntroEnding = false;        // the flash-and-question ending has begun
    bool FlashOn = true;             // the ending is in its flash steps
    int FlashCount = 0;              // steps of the flash so far, then + 1 for the question frame
    bool QuestionPending = true;     // the question has not yet been put up

    bool operator==(const IntroState&) const = default;
};

// What a frame asks of the main loop, which alone presents, waits and
// changes songs. Carried out in this order, before the loop's own
// presentation of the frame.
struct FrameRequest {
    bool presentNow = false;        // present the frame as drawn
    unsigned pauseMs = 0;           // then wait this long, presenting nothing, while the song time runs on
    bool switchToMainSong = false;  // then beginMainSong() and the main song started at volume 0
    // Set by drawFrame, kept by the shell in the controls:
    float cameraRoll = 0.0f;        // the camera roll the frame drew with (the flights bank it)
    bool mainSongEnded = false;     // the end transition is over: MainSongActive goes false

    bool operator==(const FrameRequest&) const = default;
};

// Draws one intro frame into the cleared back buffer. The question's frame
// asks to be presented, followed by the pause and the switch to the main song.
FrameRequest runIntroFrame(IntroState& intro, const FrameInput& in);

// The pause the request of the frame drawn next will carry, ms: the
// question's when that frame puts the question up, else 0.
unsigned introPauseAfterNextFrameMs(const IntroState& intro);

// The intro's part of the switch to the main song, after the pause: the
// question drawn again for the loop's presentation, the frame overlay's cover
// made, the clear colour black.
void finishIntro();

// The question screen: the colour buffer cleared and "IS THIS THE END?" in
// the bitmap font.
void drawIntroQuestion();
