// The intro: credit lines swinging between wireframe spheres, the flash, the
// question, and the switch to the main song.
#pragma once

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
extern IntroState Intro;

// Draws one intro frame into the cleared back buffer; the last one pauses,
// then switches to the main song and sets MainSongActive.
void runIntroFrame();

// How long the intro pauses, presenting nothing while its time runs on,
// right after presenting the frame it draws next, ms: the question's pause
// when that frame puts the question up, else 0.
unsigned introPauseAfterNextFrameMs();

// The question screen: the colour buffer cleared and "IS THIS THE END?" in
// the bitmap font.
void drawIntroQuestion();
