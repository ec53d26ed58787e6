// The runtime's internal assertion hook. Caller errors that the runtime can
// survive (a count of 0 locked, a class index out of range) are reported here
// and the operation is skipped. In the program the hook does nothing
// observable; tests install a recorder to see that it was reached.
#pragma once

using AssertionRecorder = void (*)(const char* what);

// Returns `holds`; when it is false, tells the hook about `what`.
bool RuntimeCheck(bool holds, const char* what);

// Installs a recorder (null removes it); returns the previous one.
AssertionRecorder SetAssertionRecorder(AssertionRecorder recorder);
