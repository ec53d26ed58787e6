// What happens when memory runs out: the user is told, and the program ends.
#pragma once

inline constexpr char kOutOfMemoryMessage[] =
    "This application has run out of memory and must quit now.";

// Shows kOutOfMemoryMessage and ends the process with exit status 1.
[[noreturn]] void ReportOutOfMemory();
