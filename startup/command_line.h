// The part of the process command line that the window-program entry gets.
#pragma once

// Skips the program's own name (up to the first blank or tab outside double
// quotes) and then every character of code 32 or below.
const char* SkipProgramName(const char* commandLine);
