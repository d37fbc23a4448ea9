// The two landscape flights of the main part's first 26.5 s.
#pragma once

void flyRight();
void flyLeft(double t);  // t: SongTime in ms
