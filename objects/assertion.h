// The runtime's internal assertion hook. Caller errors that the runtime can
// survive (a count of 0 locked, a class index out of range) are reported here
// and the operation is skipped. In the program the hook does nothing
// observable; tests install a recorder to see that it was reached.
//
// Damage to the application image is different: a program whose image was
// found damaged must not go on as if nothing happened, so start-up installs
// a damage handler that names the damage in a message and ends the program.
#pragma once

using AssertionRecorder = void (*)(const char* what);

// Returns `holds`; when it is false, tells the hook about `what`.
bool RuntimeCheck(bool holds, const char* what);

// Installs a recorder (null removes it); returns the previous one.
AssertionRecorder SetAssertionRecorder(AssertionRecorder recorder);

// Returns `holds`; when it is false, `what` (a phrase naming the damaged
// record) goes to the hook and then to the damage handler, if one is set.
bool ImageCheck(bool holds, const char* what);

// Installs the damage handler (null removes it); returns the previous one.
AssertionRecorder SetImageDamageHandler(AssertionRecorder handler);
