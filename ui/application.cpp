// The Application object's entry points. Quitting asks every window first
// and only then closes anything, so that one refusing window leaves the whole
// program as it was; it ends with an EndException, which unwinds the
// application code that asked to quit. A "Close" handler that quits again
// must not start a second round, hence the guard.
#include "ui/application.h"

#include "objects/builtin_classes.h"
#include "objects/events.h"
#include "objects/exceptions.h"
#include "sdk/vellory.h"
#include "ui/class_events.h"
#include "ui/event_loop.h"
#include "ui/window_services.h"

namespace {

bool gQuitting = false;
EndRaiser gEndRaiser = nullptr;

void RaiseEnd() {
  if (gEndRaiser) {
    gEndRaiser();
    return;
  }
  RaiseEndException();
}

template <typename... Args>
void RaiseOnApplication(ApplicationEvent event, Args... args) {
  ObjectRecord* app = getAppObject();
  RaiseEvent(app, gApplicationEvents[event], args...);
  RuntimeUnlockObject(app);
}

}  // namespace

// The events every Application declares (ui/class_events.h).
EventEntry gApplicationEvents[kApplicationEventCount] = {
    {0, "Open", "", "", 0, nullptr},
    {0, "Close", "", "", 0, nullptr},
    {0, "EnableMenuItems", "", "", 0, nullptr},
    {0, "NewDocument", "", "", 0, nullptr},
    {0, "OpenDocument", "item As FolderItem", "", 0, nullptr},
    {0, "HandleAppleEvent", "event As AppleEvent, eventClass As String, eventID As String",
     "Boolean", 0, nullptr},
    {0, "Activate", "", "", 0, nullptr},
    {0, "Deactivate", "", "", 0, nullptr},
};

void SetEndRaiser(EndRaiser raiser) { gEndRaiser = raiser; }

bool RunQuitSequence() {
  if (gQuitting) return false;
  gQuitting = true;
  const WindowServices& services = CurrentWindowServices();
  if (services.anyWindowCancelsClose()) {
    gQuitting = false;
    return false;
  }
  RaiseOnApplication(kAppClose);
  services.closeAllWindows();
  gQuitting = false;
  return true;
}

extern "C" {

void ApplicationQuit() {
  if (!RunQuitSequence()) return;
  RaiseEnd();
  RequestQuit();
}

void ApplicationNewDocument() { RaiseOnApplication(kAppNewDocument); }

void ApplicationOpenDocument(ObjectRecord* item) { RaiseOnApplication(kAppOpenDocument, item); }

}  // extern "C"
