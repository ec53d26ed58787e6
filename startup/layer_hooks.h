// The runtime's layers depend only downward; what a lower layer needs from
// a higher one is a hook, and start-up, which sees every layer, installs
// them all here before anything else runs.
#pragma once

// Installs the built-in classes' behaviour, the plug-in classes as names a
// stored class may stand for, and the fatal message and shutdown. Calling
// it again changes nothing.
void InstallLayerHooks();
