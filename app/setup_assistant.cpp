// The first-run setup assistant: three popups and a check box. Setup takes
// the choices only when all three popups have one; the rest of the settings
// keep their defaults, and the choices reach the file with the next save.
// Detect finds the port for the user (port_detect.h).
#include VS_PROJECT_HEADER

#include "app/globals.h"
#include "app/port_detect.h"
#include "app/port_rows.h"
#include "app/pref_container.h"
#include "app/pref_names.h"
#include "app/window_instances.h"

namespace {

VS_STRING(kPopupDesktop, "PopupDesktop");
VS_STRING(kPopupHandheld, "PopupHandheld");
VS_STRING(kPopupSerial, "PopupSerial");
VS_STRING(kCheckAutoConnect, "CheckAutoConnect");
VS_STRING(kDesktopOS, "DesktopOS");
VS_STRING(kHandheldOS, "HandheldOS");
VS_STRING(kIncomplete,
          "Setup could not complete. Please ensure that you have entered all the information "
          "regarding your desktop and handheld computers.");

// Desktop and handheld rows after "Choose...".
constexpr int32_t kMacOS = 1;
constexpr int32_t kNewtonOS = 2;
// The serial popup's first port row, after "Choose...".
constexpr int32_t kFirstPortRow = 1;

ObjectRecord* gSetup = nullptr;
// The serial popup's rows after "Choose...".
PortRows gPortRows;

// The line the assistant's choices make: the current settings, with DTR
// and CTS on for a Newton.
LineChoice ChosenLine(const WindowControls& c) {
  LineChoice line = CurrentLine();
  if (c.Row(&kPopupHandheld) != kNewtonOS) return line;
  line.dtr = 1;
  line.cts = 1;
  return line;
}

}  // namespace

void ShowSetupAssistant() { ShowInstance(vs_window_SetupAssistantView, &gSetup); }

extern "C" {

void SetupAssistantView_Setup(ObjectRecord* window) {
  WindowControls c{window};
  int32_t desktop = c.Row(&kPopupDesktop);
  int32_t handheld = c.Row(&kPopupHandheld);
  int32_t serial = c.Row(&kPopupSerial);
  if (desktop <= 0 || handheld <= 0 || serial <= 0) {
    RuntimeBeep();
    RuntimeMsgBox(&kIncomplete);
    return;
  }
  ObjectRecord* prefs = Prefs();
  vs::String desktopText = vs::String::Adopt(popupTextGetter(c.Get(&kPopupDesktop)));
  vs::String handheldText = vs::String::Adopt(popupTextGetter(c.Get(&kPopupHandheld)));
  PrefContainer_PutString(prefs, &kDesktopOS, desktopText.get());
  PrefContainer_PutString(prefs, &kHandheldOS, handheldText.get());
  Global<int32_t>(G::kReturnType) = desktop == kMacOS ? 0 : 2;
  Global<int32_t>(G::kTextEncoder) = handheld - 1;
  SerialObject* line = SerialSettings();
  ApplyLine(line, ChosenLine(c));
  line->port = gPortRows.PortAt(serial - kFirstPortRow, line->port);
  PrefContainer_PutInteger(prefs, &kPort, line->port);
  bool autoConnect = c.Checked(&kCheckAutoConnect);
  PrefContainer_PutBoolean(prefs, &kAutoConnect, autoConnect);
  Global<bool>(G::kAutoConnect) = autoConnect;
  Main_DisplayWelcomeMessage(MainWindow());
  RuntimeCloseWindow(window);
}

void SetupAssistantView_Open(ObjectRecord* window) {
  WindowControls c{window};
  StringRecord* const popups[] = {&kPopupDesktop, &kPopupHandheld, &kPopupSerial};
  for (StringRecord* popup : popups) c.SetRow(popup, 0);
}

void SetupAssistantView_Close(ObjectRecord* window) {
  DetectStop(window);
  ForgetInstance(&gSetup);
}

void SerialMenu_Open(ObjectRecord* popup) {
  AddSerialPortRows(popup, gPortRows, SerialSettings()->port);
}

void SetupDetectButton_Action(ObjectRecord* button) {
  vs::Ref window = vs::Ref::Adopt(controlWindowGetter(button));
  WindowControls c{window.get()};
  DetectClicked(window.get(), {&kPopupSerial, kFirstPortRow, &gPortRows}, ChosenLine(c));
}

void SetupButton_Action(ObjectRecord* button) {
  vs::Ref window = vs::Ref::Adopt(controlWindowGetter(button));
  SetupAssistantView_Setup(window.get());
}

}  // extern "C"
