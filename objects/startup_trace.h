// Where start-up spends its time. Each step of start-up leaves a mark taken
// with the performance counter; when the first window has painted, the marks
// go to the file that VELLORY_STARTUP_TRACE names, one line each: the
// milliseconds since the process was created, the milliseconds since the
// mark before, and the step. Without that variable a mark costs one test of
// a flag, and nothing is written.
#pragma once

// Records that `step` (a string literal) has just ended.
void StartupMark(const char* step);

// Writes the marks, once, and stops recording (the first paint calls it).
void WriteStartupTrace();
