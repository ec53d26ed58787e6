// The top-level load sequence: find the image, read it, link and relocate it,
// and run the application's entry function.
#pragma once

// Returns true after the application's entry function has returned, false
// when the image could not be read or linked (the user has been told why).
bool LoadApplicationImage();
