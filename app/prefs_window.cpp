// The Preferences window. It always works on a closed line: opening it
// disconnects, and closing it (by Save or Cancel) connects again when the
// settings ask for a connection at start. Each popup row stands for the
// setting value of the same number, except that the parity rows name their
// parity, whose values run None 0, Odd 1, Even 2, and that the port rows are
// the ports the machine has (see port_rows.h). AddSerialPortRows, which the
// setup assistant uses as well, lives here. Detect listens with the line
// settings the tab shows (port_detect.h).
#include VS_PROJECT_HEADER

#include "app/globals.h"
#include "app/port_detect.h"
#include "app/port_rows.h"
#include "app/window_instances.h"

namespace {

VS_STRING(kMenuBaud, "Menu_Baud");
VS_STRING(kMenuBits, "Menu_Bits");
VS_STRING(kMenuPort, "Menu_Port");
VS_STRING(kMenuStopBits, "Menu_StopBits");
VS_STRING(kMenuParity, "Menu_Parity");
VS_STRING(kCheckXON, "Checkbox_XON");
VS_STRING(kCheckCTS, "Checkbox_CTS");
VS_STRING(kCheckDTR, "Checkbox_DTR");
VS_STRING(kCheckAutoConnect, "CheckBox_AutoConnect");
VS_STRING(kCheckShowProgressBar, "CheckBox_ShowProgressBar");
VS_STRING(kCheckEnableKeyRepeat, "Checkbox_EnableKeyRepeat");
VS_STRING(kMenuReturnType, "Menu_ReturnType");
VS_STRING(kMenuTextEncoder, "Menu_TextEncoder");

VS_STRING(kCOM, "COM");

ObjectRecord* gPrefs = nullptr;
PortRows gPortRows;

// Parity rows: None, Even, Odd.
constexpr int16_t kParityOfRow[] = {0, 2, 1};
constexpr int32_t kParityRows = 3;
int32_t RowOfParity(int16_t parity) {
  for (int32_t row = 0; row < kParityRows; ++row)
    if (kParityOfRow[row] == parity) return row;
  return 0;
}

// The selected row, or `current` when none is selected (saving must not lose
// a setting that no row shows).
int32_t RowOr(const WindowControls& c, StringRecord* name, int32_t current) {
  int32_t row = c.Row(name);
  return row < 0 ? current : row;
}

// The line settings the Connection tab shows; a popup without a selected
// row keeps the current setting.
LineChoice ChosenLine(const WindowControls& p) {
  LineChoice c = CurrentLine();
  c.baud = static_cast<int16_t>(RowOr(p, &kMenuBaud, c.baud));
  c.bits = static_cast<int16_t>(RowOr(p, &kMenuBits, c.bits));
  c.stop = static_cast<int16_t>(RowOr(p, &kMenuStopBits, c.stop));
  int32_t parityRow = RowOr(p, &kMenuParity, RowOfParity(c.parity));
  if (parityRow < kParityRows) c.parity = kParityOfRow[parityRow];
  c.xon = p.Checked(&kCheckXON);
  c.cts = p.Checked(&kCheckCTS);
  c.dtr = p.Checked(&kCheckDTR);
  return c;
}

// "COM12" → 11, as stored.
int16_t StoredPortOfName(StringRecord* name) {
  vs::String digits = vs::String::Adopt(StringMid2(name, 4));
  return static_cast<int16_t>(StringVal(digits.get()) - 1);
}

// Adds a row `name` standing for port `stored`; a full table takes no more.
void AddRow(ObjectRecord* popup, PortRows& rows, int16_t stored, StringRecord* name) {
  if (rows.count >= PortRows::kMax) return;
  RuntimePopupAddRow(popup, name);
  rows.port[rows.count++] = stored;
}

// Adds a row for a port the system does not list, named after its number.
void AddStoredRow(ObjectRecord* popup, PortRows& rows, int16_t stored) {
  vs::String name = vs::String::Borrow(&kCOM) + vs::String::Adopt(StringStr(stored + 1));
  AddRow(popup, rows, stored, name.get());
}

}  // namespace

void AddSerialPortRows(ObjectRecord* popup, PortRows& rows, int16_t stored) {
  rows.count = 0;
  // A stored port outside COM1..COM256 names no device; it gets no row.
  bool storedPending = stored >= 0 && stored < PortRows::kMax - 1;
  int32_t count = getSerialPortCount();
  for (int32_t i = 0; i < count; ++i) {
    vs::Ref port = vs::Ref::Adopt(getSerialPort(nullptr, i));
    if (!port) continue;
    StringRecord* name = reinterpret_cast<SerialPortObject*>(port.get())->name;
    int16_t number = StoredPortOfName(name);
    if (storedPending && stored < number) AddStoredRow(popup, rows, stored);
    if (stored <= number) storedPending = false;
    AddRow(popup, rows, number, name);
    RuntimeBackgroundTask();
  }
  if (storedPending) AddStoredRow(popup, rows, stored);
}

void ShowPrefsView() { ShowInstance(vs_window_PrefsView, &gPrefs); }

extern "C" {

void PrefsView_LoadPreferences(ObjectRecord* window) {
  WindowControls p{window};
  SerialObject* line = SerialSettings();
  p.SetRow(&kMenuBaud, line->baud);
  p.SetRow(&kMenuBits, line->bits);
  p.SetRow(&kMenuPort, gPortRows.RowOf(line->port));
  p.SetRow(&kMenuStopBits, line->stop);
  p.SetRow(&kMenuParity, RowOfParity(line->parity));
  p.Check(&kCheckXON, line->xon);
  p.Check(&kCheckCTS, line->cts);
  p.Check(&kCheckDTR, line->dtr);
  p.Check(&kCheckAutoConnect, Global<bool>(G::kAutoConnect));
  p.Check(&kCheckShowProgressBar, Global<bool>(G::kShowProgressBar));
  p.Check(&kCheckEnableKeyRepeat, Global<bool>(G::kEnableKeyRepeat));
  p.SetRow(&kMenuReturnType, Global<int32_t>(G::kReturnType));
  p.SetRow(&kMenuTextEncoder, Global<int32_t>(G::kTextEncoder));
}

void PrefsView_SavePreferences(ObjectRecord* window) {
  WindowControls p{window};
  SerialObject* line = SerialSettings();
  ApplyLine(line, ChosenLine(p));
  line->port = gPortRows.PortAt(p.Row(&kMenuPort), line->port);
  Global<bool>(G::kAutoConnect) = p.Checked(&kCheckAutoConnect);
  Global<bool>(G::kShowProgressBar) = p.Checked(&kCheckShowProgressBar);
  Global<bool>(G::kEnableKeyRepeat) = p.Checked(&kCheckEnableKeyRepeat);
  Global<int32_t>(G::kReturnType) = RowOr(p, &kMenuReturnType, Global<int32_t>(G::kReturnType));
  Global<int32_t>(G::kTextEncoder) = RowOr(p, &kMenuTextEncoder, Global<int32_t>(G::kTextEncoder));
  Main_PrefsSave(MainWindow());
  Main_ViewUpdate(MainWindow());
}

void PrefsView_Open(ObjectRecord* window) {
  Main_Disconnect(MainWindow());
  PrefsView_LoadPreferences(window);
}

// Listening stops first: its ports must be free before the line opens again.
void PrefsView_Close(ObjectRecord* window) {
  DetectStop(window);
  if (Global<bool>(G::kAutoConnect)) Main_Connect(MainWindow());
  ForgetInstance(&gPrefs);
}

void PortMenu_Open(ObjectRecord* popup) {
  AddSerialPortRows(popup, gPortRows, SerialSettings()->port);
}

void PrefsDetectButton_Action(ObjectRecord* button) {
  vs::Ref window = vs::Ref::Adopt(controlWindowGetter(button));
  WindowControls p{window.get()};
  DetectClicked(window.get(), {&kMenuPort, 0, &gPortRows}, ChosenLine(p));
}

void ButtonCancel_Action(ObjectRecord* button) {
  vs::Ref window = vs::Ref::Adopt(controlWindowGetter(button));
  RuntimeCloseWindow(window.get());
}

void ButtonSave_Action(ObjectRecord* button) {
  vs::Ref window = vs::Ref::Adopt(controlWindowGetter(button));
  PrefsView_SavePreferences(window.get());
  RuntimeCloseWindow(window.get());
}

}  // extern "C"
