// Names the preference file shares between the parts of the program that
// write it (the settings and the setup assistant), and the version that the
// file records and the About window shows: one spelling each, so that a
// renamed key cannot leave one writer behind.
#pragma once
#include "app/version.h"
#include "sdk/vellory.h"

VS_SHARED_STRING(kPort, "Port");
VS_SHARED_STRING(kAutoConnect, "AutoConnect");
VS_SHARED_STRING(kVersionNumber, VS_VERSION_TEXT);
