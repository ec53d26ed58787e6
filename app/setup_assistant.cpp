// The first-run setup assistant: three popups and a check box. Setup takes
// the choices only when all three popups have one; the rest of the settings
// keep their defaults, and the choices reach the file with the next save.
#include VS_PROJECT_HEADER

#include "app/main_window.h"
#include "app/pref_container.h"
#include "app/window_instances.h"
#include "sdk/service_layouts.h"

namespace {

namespace G = vs_project::Globals;

VS_STRING(kPopupDesktop, "PopupDesktop");
VS_STRING(kPopupHandheld, "PopupHandheld");
VS_STRING(kPopupSerial, "PopupSerial");
VS_STRING(kCheckAutoConnect, "CheckAutoConnect");
VS_STRING(kDesktopOS, "DesktopOS");
VS_STRING(kHandheldOS, "HandheldOS");
VS_STRING(kPort, "Port");
VS_STRING(kAutoConnect, "AutoConnect");
VS_STRING(kIncomplete,
          "Setup could not complete. Please ensure that you have entered all the information "
          "regarding your desktop and handheld computers.");

// Desktop and handheld rows after "Choose...".
constexpr int32_t kMacOS = 1;
constexpr int32_t kNewtonOS = 2;

ObjectRecord* gSetup = nullptr;

template <typename T>
T& Global(uint32_t offset) { return vs::Field<T>(vs_module_Globals, offset); }

ObjectRecord* Get(ObjectRecord* window, StringRecord* name) { return RuntimeControlFetch(window, name); }
int32_t Row(ObjectRecord* window, StringRecord* name) {
  return RuntimePopupSelectionGetter(Get(window, name));
}

}  // namespace

void ShowSetupAssistant() { ShowInstance(vs_window_SetupAssistantView, &gSetup); }

extern "C" {

void SetupAssistantView_Setup(ObjectRecord* window) {
  int32_t desktop = Row(window, &kPopupDesktop);
  int32_t handheld = Row(window, &kPopupHandheld);
  int32_t serial = Row(window, &kPopupSerial);
  if (desktop <= 0 || handheld <= 0 || serial <= 0) {
    RuntimeBeep();
    RuntimeMsgBox(&kIncomplete);
    return;
  }
  ObjectRecord* prefs = Prefs();
  vs::String desktopText = vs::String::Adopt(popupTextGetter(Get(window, &kPopupDesktop)));
  vs::String handheldText = vs::String::Adopt(popupTextGetter(Get(window, &kPopupHandheld)));
  PrefContainer_PutString(prefs, &kDesktopOS, desktopText.get());
  PrefContainer_PutString(prefs, &kHandheldOS, handheldText.get());
  Global<int32_t>(G::kReturnType) = desktop == kMacOS ? 0 : 2;
  Global<int32_t>(G::kTextEncoder) = handheld - 1;
  auto* line = reinterpret_cast<SerialObject*>(SerialLine());
  if (handheld == kNewtonOS) {
    line->dtr = 1;
    line->cts = 1;
  }
  line->port = static_cast<int16_t>(serial - 1);
  PrefContainer_PutInteger(prefs, &kPort, serial - 1);
  bool autoConnect = checkBoxValueGetter(Get(window, &kCheckAutoConnect));
  PrefContainer_PutBoolean(prefs, &kAutoConnect, autoConnect);
  Global<bool>(G::kAutoConnect) = autoConnect;
  Main_DisplayWelcomeMessage(MainWindow());
  RuntimeCloseWindow(window);
}

void SetupAssistantView_Open(ObjectRecord* window) {
  RuntimePopupSelectionSetter(Get(window, &kPopupDesktop), 0, 0);
  RuntimePopupSelectionSetter(Get(window, &kPopupHandheld), 0, 0);
  RuntimePopupSelectionSetter(Get(window, &kPopupSerial), 0, 0);
}

void SetupAssistantView_Close(ObjectRecord*) { ForgetInstance(&gSetup); }

void SerialMenu_Open(ObjectRecord* popup) { AddSerialPortRows(popup); }

void SetupButton_Action(ObjectRecord* button) {
  vs::Ref window = vs::Ref::Adopt(controlWindowGetter(button));
  SetupAssistantView_Setup(window.get());
}

}  // extern "C"
