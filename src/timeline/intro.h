// The intro: credit lines swinging between wireframe spheres, the flash, the
// question, and the switch to the main song.
#pragma once

extern const char* const CreditLines[8];

// Intro state; each starts at the value shown and is never reset.
extern bool CreditsRunning;      // true: the credit swing is drawn
extern int CreditIndex;          // 0: line shown; the spheres have CreditIndex + 3 slices and stacks
extern float CreditAngle;        // 0: degrees of the text's swing about y
extern bool CreditSwingUp;       // true: direction of the swing
extern bool CreditTopArmed;      // true: the next turn is at the top (+90), else at the bottom (-90)
extern bool CreditAdvanceArmed;  // true: the next bottom turn moves to the next line
extern float SphereSpin;         // 0: degrees of the two spheres' spin
extern bool IntroEnding;         // false: the flash-and-question ending has begun
extern bool FlashOn;             // true: the ending is in its flash steps
extern int FlashCount;           // 0: steps of the flash so far, then + 1 for the question frame
extern bool QuestionPending;     // true: the question has not yet been put up

// Draws one intro frame into the cleared back buffer; the last one pauses,
// then switches to the main song and sets MainSongActive.
void runIntroFrame();

// The question screen: the colour buffer cleared and "IS THIS THE END?" in
// the bitmap font.
void drawIntroQuestion();
