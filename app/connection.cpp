// The line to the handheld: opening and closing it, the polling step that
// assembles frames from what arrives, delivery into the Writing Window, game
// mode, and sending text back. All of it runs on the one UI thread from the
// window's timers; reception is polled, never event driven.
//
// A line can also end without the user: the adapter is pulled out and the
// runtime closes the line. The status line then says "Offline" (no message
// box: the user may be away) and, with AutoConnect on, a slow timer tries the
// port again until the device is back. A Disconnect of the user's own stops
// those tries.
#include VS_PROJECT_HEADER

#include <stddef.h>

#include "app/globals.h"

namespace {

using vs::Ref;
using vs::String;

VS_STRING(kInputView, "InputView");
VS_STRING(kSerialPort, "SerialPort");
VS_STRING(kTimerSerial, "TimerSerial");
VS_STRING(kTimerKeyTyper, "TimerKeyTyper");
VS_STRING(kTimerProgressStart, "TimerProgressStart");
VS_STRING(kTimerProgressStop, "TimerProgressStop");
VS_STRING(kTimerReconnect, "TimerReconnect");
VS_STRING(kTextStatus, "TextStatus");
VS_STRING(kProgressBar, "ProgressBar");
VS_STRING(kPortBusy, "The serial port could not be open. It may be in use by another application.");
VS_STRING(kNotAccepting,
          "The handheld is not accepting data. Check the cable and the flow-control settings in "
          "Preferences.");
VS_STRING(kNoCommands, "Sending Commands is not yet supported by the Vellory Server for Windows");
VS_STRING(kOffline, "Offline");
VS_STRING(kListening, "Listening");
VS_STRING(kReceiving, "Receiving...");
VS_STRING(kSending, "Sending...");
VS_STRING(kGameMode, "Game Mode Enabled");
VS_STRING(kEmpty, "");

namespace M = vs_project::Main;
namespace S = vs_project::SerialClass;

ObjectRecord* Control(ObjectRecord* main, StringRecord* name) { return RuntimeControlFetch(main, name); }
ObjectRecord* Line(ObjectRecord* main) { return Control(main, &kSerialPort); }

void SetTimer(ObjectRecord* main, StringRecord* name, int32_t mode) {
  timerModeSetter(Control(main, name), 0, mode);
}

StringRecord*& Buffer(ObjectRecord* line) { return vs::Field<StringRecord*>(line, S::kBuffer); }
bool LineOpen(ObjectRecord* line) { return reinterpret_cast<SerialObject*>(line)->isOpen; }

// Connected state: status "Listening", polling on, no reconnect tries.
void Listen(ObjectRecord* main) {
  Main_SetStatus(main, 1, false);
  vs::Field<bool>(main, M::kConnected) = true;
  SetTimer(main, &kTimerSerial, 2);
  SetTimer(main, &kTimerReconnect, 0);
}

// The progress bar shows again as the settings ask once game mode is left.
void ShowProgressBarAsSet() {
  ControlVisibleSetter(ProgressBar(), 0, Global<bool>(G::kShowProgressBar));
}

// Ends the frame being assembled: its rest will never come (or comes as
// game keys), and it must not be glued to the next frame. A complete frame
// still waiting for its delivery goes into the Writing Window first.
void EndFrame(ObjectRecord* main) {
  ObjectRecord* typer = Control(main, &kTimerKeyTyper);
  if (timerModeGetter(typer) != 0) TimerKeyTyper_Action(typer);
  SerialClass_ClearBuffer(Line(main));
}

// Offline state. Polling keeps running (a closed line costs it nothing).
void GoOffline(ObjectRecord* main) {
  EndFrame(main);
  vs::Field<bool>(main, M::kConnected) = false;
  bool wasGameMode = Global<bool>(G::kGameMode);
  Global<bool>(G::kGameMode) = false;
  Main_SetStatus(main, 0, false);
  windowHasBackColorSetter(main, 0, false);
  if (wasGameMode) ShowProgressBarAsSet();
}

// The line closed under a connected program: offline, and back by itself
// when the settings ask for a connection.
void LineLost(ObjectRecord* main) {
  GoOffline(main);
  if (Global<bool>(G::kAutoConnect)) SetTimer(main, &kTimerReconnect, 2);
}

// Ends the busy display of a send at once.
void StopProgress(ObjectRecord* main) {
  SetTimer(main, &kTimerProgressStart, 0);
  progressMaximumSetter(ProgressBar(), 0, 100);
}

String Chr(int32_t code) { return String::Adopt(StringChr(code)); }
String Without(const String& text, int32_t code) {
  return String::Adopt(StringReplaceAll(text.get(), Chr(code).get(), &kEmpty));
}
int32_t FirstByte(const String& s) { return StringAsc(s.get()); }
int32_t LastByte(const String& s) {
  return StringAsc(String::Adopt(StringRight(s.get(), 1)).get());
}

// The text encodings of the "Newton OS" conversion: the handheld writes
// Mac OS Roman, the Writing Window holds Windows Latin 1.
constexpr int32_t kNewton = 1;
constexpr uint32_t kMacRoman = 0x0000, kWindowsLatin1 = 0x0500;

// `text` converted between two encodings (one reference for the caller);
// the text as it is when the system has no converter.
StringRecord* Converted(StringRecord* text, uint32_t from, uint32_t to) {
  Ref source = Ref::Adopt(getTextEncoding(from, 0, 0));
  Ref destination = Ref::Adopt(getTextEncoding(to, 0, 0));
  Ref converter = Ref::Adopt(getTextConverter(source.get(), destination.get()));
  if (converter) return textConverterConvert(converter.get(), text);
  RuntimeLockString(text);
  return text;
}

void DeleteBeforeInsertionPoint(ObjectRecord* view) {
  int32_t at = editSelStartGetter(view);
  if (at <= 0) return;
  editSelStartSetter(view, 0, at - 1);
  editSelLengthSetter(view, 0, 1);
  editSelTextSetter(view, 0, &kEmpty);
}


}  // namespace

ObjectRecord* InputView() { return Control(MainWindow(), &kInputView); }
ObjectRecord* SerialLine() { return Line(MainWindow()); }
ObjectRecord* ProgressBar() { return Control(MainWindow(), &kProgressBar); }

void SendRefused(ObjectRecord* main) {
  // Nothing may look sent that did not go out.
  StopProgress(main);
  if (!LineOpen(Line(main))) {
    LineLost(main);
    return;
  }
  Main_SetStatus(main, 1, false);
  RuntimeMsgBox(&kNotAccepting);
}

StringRecord* OutgoingBytes(StringRecord* text) {
  String out = String::Borrow(text);
  int32_t last = out.Length() ? LastByte(out) : 0;
  if (last != 13 && last != 10) {
    switch (Global<int32_t>(G::kReturnType)) {
      case 0: out = out + Chr(13); break;
      case 1: out = out + Chr(10); break;
      default: out = out + Chr(13) + Chr(10); break;
    }
  }
  // What the handheld reads is Mac OS Roman, as it writes.
  if (Global<int32_t>(G::kTextEncoder) == kNewton)
    out = String::Adopt(Converted(out.get(), kWindowsLatin1, kMacRoman));
  RuntimeLockString(out.get());
  return out.get();
}

void PlaceInsertionPointAtEnd(ObjectRecord* view) {
  editSelStartSetter(view, 0, String::Adopt(editTextGetter(view)).Length());
  editSelLengthSetter(view, 0, 0);
}

extern "C" {

bool Main_IsConnected(ObjectRecord* main) { return vs::Field<bool>(main, M::kConnected); }
bool Main_InGameMode(ObjectRecord*) { return Global<bool>(G::kGameMode); }

void Main_StatusUpdate(ObjectRecord* main) {
  StringRecord* text = nullptr;
  if (Global<bool>(G::kGameMode)) {
    text = &kGameMode;
  } else {
    switch (vs::Field<int32_t>(main, M::kStatus)) {
      case 0: text = &kOffline; break;
      case 1: text = &kListening; break;
      case 2: text = &kReceiving; break;
      case 3: text = &kSending; break;
      default: return;  // any other code leaves the line as it is
    }
  }
  staticCaptionSetter(Control(main, &kTextStatus), 0, text);
}

void Main_SetStatus(ObjectRecord* main, int32_t code, bool busy) {
  vs::Field<int32_t>(main, M::kStatus) = code;
  Main_StatusUpdate(main);
  if (busy && Global<bool>(G::kShowProgressBar)) SetTimer(main, &kTimerProgressStart, 2);
}

bool Main_Connect(ObjectRecord* main) {
  if (!serialOpen(Line(main))) {
    Main_SetStatus(main, 0, false);
    vs::Field<bool>(main, M::kConnected) = false;
    RuntimeMsgBox(&kPortBusy);
    SetTimer(main, &kTimerSerial, 0);
    return false;
  }
  Listen(main);
  return true;
}

bool Main_Disconnect(ObjectRecord* main) {
  SetTimer(main, &kTimerReconnect, 0);
  // Opening an open line reports success at once; a line that cannot be
  // opened has nothing to close.
  if (!serialOpen(Line(main))) return true;
  serialClose(Line(main));
  GoOffline(main);
  return true;
}

StringRecord* Main_EncodeText(ObjectRecord*, StringRecord* text) {
  if (Global<int32_t>(G::kTextEncoder) != kNewton) {
    RuntimeLockString(text);
    return text;
  }
  return Converted(text, kMacRoman, kWindowsLatin1);
}

// The frame goes in as typing would: over the selection, or at the end when
// nothing is selected, so that the window scrolls to show it. A final
// backspace then takes the character before the insertion point, as the
// Backspace key would; a frame that is a backspace alone takes the
// selection, or the last character.
bool Main_ProcessData(ObjectRecord* main) {
  ObjectRecord* line = Line(main);
  String text = String::Adopt(Main_EncodeText(main, Buffer(line)));
  ObjectRecord* view = InputView();
  RuntimeSetFocus(view);
  bool backspace = text.Length() && LastByte(text) == 8;
  if (backspace) text = String::Adopt(StringLeft(text.get(), text.Length() - 1));
  bool selected = editSelLengthGetter(view) > 0;
  if (!selected) PlaceInsertionPointAtEnd(view);
  if (text.Length() || selected) editSelTextSetter(view, 0, text.get());
  if (backspace && (text.Length() || !selected)) DeleteBeforeInsertionPoint(view);
  return true;
}

void Main_ProcessCommand(ObjectRecord* main, StringRecord*) {
  RuntimeMsgBox(&kNoCommands);
  SerialClass_ClearBuffer(Line(main));
}

void Main_Receive(ObjectRecord* main) {
  ObjectRecord* line = Line(main);
  if (!StringLen(Buffer(line))) return;
  Main_SetStatus(main, 2, true);
  if (StringAsc(Buffer(line)) == 1)
    Main_ProcessCommand(main, Buffer(line));
  else
    SetTimer(main, &kTimerKeyTyper, 2);
  SetTimer(main, &kTimerProgressStop, 1);
}

bool Main_Send(ObjectRecord* main, StringRecord* text) {
  if (!Main_IsConnected(main)) return false;
  String out = String::Adopt(OutgoingBytes(text));
  Main_SetStatus(main, 3, true);
  serialXmitWait(Line(main));
  if (serialWrite(Line(main), out.get())) {
    SetTimer(main, &kTimerProgressStop, 1);
    return true;
  }
  SendRefused(main);
  return false;
}

void Main_ReceiveGameKey(ObjectRecord*, StringRecord* key) {
  StringRecord*& last = Global<StringRecord*>(G::kLastGameKey);
  if (Global<bool>(G::kEnableKeyRepeat) || StringStrCompare(key, last, 0) == 0) return;
  RuntimeLockString(key);
  RuntimeUnlockString(last);
  last = key;
}

void Main_ToggleGameMode(ObjectRecord* main) {
  if (!Main_IsConnected(main)) return;
  EndFrame(main);
  if (Global<bool>(G::kGameMode)) {
    Global<bool>(G::kGameMode) = false;
    Main_StatusUpdate(main);
    ShowProgressBarAsSet();
    windowHasBackColorSetter(main, 0, false);
    return;
  }
  Global<bool>(G::kGameMode) = true;
  staticCaptionSetter(Control(main, &kTextStatus), 0, &kGameMode);
  ControlVisibleSetter(ProgressBar(), 0, false);
  windowHasBackColorSetter(main, 0, true);
  windowBackColorSetter(main, 0, static_cast<uint32_t>(RuntimeRGB(109, 170, 244)));
}

// --- the serial control ------------------------------------------------------------

void SerialClass_ClearBuffer(ObjectRecord* line) {
  RuntimeUnlockString(Buffer(line));
  Buffer(line) = nullptr;
}

void SerialClass_DataAvailable(ObjectRecord*) {}

// Game keys are taken from what waits and the rest is dropped; otherwise
// everything waiting is one chunk of the frame being assembled, and a chunk
// that ends with ETX completes it.
static void TakeWaiting(ObjectRecord* line) {
  ObjectRecord* main = MainWindow();
  String waiting = String::Adopt(stringGetter(line, offsetof(SerialObject, receiveBuffer)));
  if (!waiting.Length()) return;
  if (Main_InGameMode(main)) {
    String firstTwo = String::Adopt(StringLeft(waiting.get(), 2));
    Main_ReceiveGameKey(main, String::Adopt(StringRight(firstTwo.get(), 1)).get());
    serialFlush(line);
    return;
  }
  String chunk = String::Adopt(serialReadAll(line));
  if (FirstByte(chunk) == 2) chunk = Without(chunk, 2);
  String collected = String::Borrow(Buffer(line)) + chunk;
  bool complete = chunk.Length() && LastByte(chunk) == 3;
  if (complete) collected = Without(collected, 3);
  RuntimeLockString(collected.get());
  RuntimeUnlockString(Buffer(line));
  Buffer(line) = collected.get();
  if (complete) Main_Receive(main);
}

// One polling step: what arrived is taken first, then a line that closed
// under a connected program takes it offline.
void SerialClass_CheckSerial(ObjectRecord* line) {
  ObjectRecord* main = MainWindow();
  TakeWaiting(line);
  if (Main_IsConnected(main) && !LineOpen(line)) LineLost(main);
}

// --- the main window's timers ---------------------------------------------------------

void TimerSerial_Action(ObjectRecord*) { SerialClass_CheckSerial(Line(MainWindow())); }

// One try to get a lost line back; stops when connected again, or when
// AutoConnect was turned off meanwhile.
void TimerReconnect_Action(ObjectRecord* timer) {
  ObjectRecord* main = MainWindow();
  if (Main_IsConnected(main) || !Global<bool>(G::kAutoConnect)) {
    timerModeSetter(timer, 0, 0);
    return;
  }
  if (serialOpen(Line(main))) Listen(main);
}

// Delivers the frame the serial control holds, once.
void TimerKeyTyper_Action(ObjectRecord* timer) {
  ObjectRecord* main = MainWindow();
  if (!Main_ProcessData(main)) return;
  timerModeSetter(timer, 0, 0);
  SerialClass_ClearBuffer(Line(main));
}

// Keeps the progress bar in its busy state while it runs.
void TimerProgressStart_Action(ObjectRecord*) {
  progressMaximumSetter(ProgressBar(), 0, 0);
}

void TimerProgressStop_Action(ObjectRecord*) {
  ObjectRecord* main = MainWindow();
  SetTimer(main, &kTimerProgressStart, 0);
  Main_SetStatus(main, Main_IsConnected(main) ? 1 : 0, false);
  progressMaximumSetter(ProgressBar(), 0, 100);
}

}  // extern "C"
