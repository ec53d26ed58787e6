// The program's version, in the one place it is written: the About window
// shows it, the preference file records it, the program file's version
// resource carries it (app/version.rc, which Explorer's Properties and
// installers read) and `make dist` names the release archive after it.
// Plain macros, so that the resource compiler and CMake can read them too.
#pragma once

#define VS_VERSION_MAJOR 1
#define VS_VERSION_MINOR 1
#define VS_VERSION_TEXT "1.1"
#define VS_PRODUCT_NAME "Vellory Server"
#define VS_COPYRIGHT "Copyright (C) 2026 the Vellory Server developers"
