// The holder of the window services. Until the windows module installs its
// own there are no windows at all, so the answers describe an empty desktop:
// no window is open, none can refuse to close, nothing holds the mouse.
#include "ui/window_services.h"

namespace {

void DoNothing() {}
bool No() { return false; }
bool Yes() { return true; }
bool NotAShortcut(const void*) { return false; }

const WindowServices kNoWindows = {
    DoNothing,     // updateWindowsWhenIdle
    DoNothing,     // trackMouse
    No,            // mouseCaptured
    NotAShortcut,  // menuShortcut
    DoNothing,     // activePaneIdle
    Yes,           // noWindowOpen
    No,            // anyWindowCancelsClose
    DoNothing,     // closeAllWindows
};

const WindowServices* gServices = &kNoWindows;

}  // namespace

const WindowServices& CurrentWindowServices() { return *gServices; }

void SetWindowServices(const WindowServices* services) {
  gServices = services ? services : &kNoWindows;
}
