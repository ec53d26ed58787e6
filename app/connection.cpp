// The line to the handheld: opening and closing it, the polling step that
// assembles frames from what arrives, delivery into the Writing Window, game
// mode, and sending text back. All of it runs on the one UI thread from the
// window's timers; reception is polled, never event driven.
//
// Whole frames wait in arrival order until the key typer delivers them, each
// on its own; the Serial control's Buffer holds the one being delivered.
// Nothing complete is lost: leaving the line (Disconnect, game mode, a
// pulled cable) first takes what has arrived and delivers what is whole.
//
// A line can also end without the user: the adapter is pulled out and the
// runtime closes the line. The status line then says "Offline" (no message
// box: the user may be away) and, with AutoConnect on, a slow timer tries the
// port again until the device is back. A Disconnect of the user's own stops
// those tries.
#include VS_PROJECT_HEADER

#include <stddef.h>

#include "app/frame_assembler.h"
#include "app/globals.h"
#include "app/main_controls.h"

namespace {

using vs::Ref;
using vs::String;

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
VS_STRING(kUnframedDropped, "Unframed data dropped: check the port speed");
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

// The frame being assembled from what the line gave so far.
FrameAssembler gFrames;

// Whole frames waiting for the key typer, oldest first: each one's typed
// bytes, and beside them what else it does (see FrameEffect).
ArrayRecord* gWaitingText = nullptr;
ArrayRecord* gWaitingEffect = nullptr;
// A delivery is running (a command frame's message box lets the timers run).
bool gDelivering = false;
// Since the last connect, unframed data was dropped (it is said once), and
// the status line is yet to say so.
bool gDroppedTold = false;
bool gDroppedToSay = false;

// What a waiting frame does besides typing its bytes, in one integer:
// -1 for a command frame, else the characters it erases times two, plus one
// when its first backspace may take a selection.
constexpr int32_t kCommandEffect = -1;
int32_t FrameEffect(const FrameText& t) {
  if (t.command) return kCommandEffect;
  return static_cast<int32_t>(t.erasures) * 2 + (t.firstErases ? 1 : 0);
}

ArrayRecord* NewList() {
  ArrayRecord* list = RuntimeCreateArray();
  RuntimeArrayCreateAddIndex(list, 0, -1);
  return list;
}
bool FramesWaiting() { return gWaitingText && RuntimeUBound(gWaitingText) >= 0; }

// Connected state: status "Listening", polling on, no reconnect tries.
void Listen(ObjectRecord* main) {
  gDroppedTold = gDroppedToSay = false;
  Main_SetStatus(main, kStatusListening, false);
  vs::Field<bool>(main, M::kConnected) = true;
  SetTimer(main, &kTimerSerial, kTimerRepeating);
  SetTimer(main, &kTimerReconnect, kTimerOff);
}

// The progress bar shows again as the settings ask once game mode is left.
void ShowProgressBarAsSet() {
  ControlVisibleSetter(ProgressBar(), 0, Global<bool>(G::kShowProgressBar));
}

// Ends the frame being assembled: its rest will never come (or comes as
// game keys), and it must not be glued to the next frame. What the line
// holds is taken first, and every whole frame goes into the Writing Window.
void EndFrame(ObjectRecord* main) {
  TakeInWhatArrived(main);
  FrameReset(&gFrames);
}

// Offline state. Polling keeps running (a closed line costs it nothing). A
// send the line takes with it is stopped, and how much of it went out is
// what the status line then says.
void GoOffline(ObjectRecord* main) {
  EndFrame(main);
  vs::Field<bool>(main, M::kConnected) = false;
  bool wasGameMode = Global<bool>(G::kGameMode);
  Global<bool>(G::kGameMode) = false;
  Main_SetStatus(main, kStatusOffline, false);
  StopSending(main);
  windowHasBackColorSetter(main, 0, false);
  if (wasGameMode) ShowProgressBarAsSet();
}

// The line closed under a connected program: offline, and back by itself
// when the settings ask for a connection.
void LineLost(ObjectRecord* main) {
  GoOffline(main);
  if (Global<bool>(G::kAutoConnect)) SetTimer(main, &kTimerReconnect, kTimerRepeating);
}

// Ends the busy display of a send at once.
void StopProgress(ObjectRecord* main) {
  SetTimer(main, &kTimerProgressStart, kTimerOff);
  progressMaximumSetter(ProgressBar(), 0, 100);
}

String Chr(int32_t code) { return String::Adopt(StringChr(code)); }
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

// Deletes up to `count` characters before the insertion point.
void EraseBeforeInsertionPoint(ObjectRecord* view, int32_t count) {
  int32_t at = editSelStartGetter(view);
  if (count > at) count = at;
  if (count <= 0) return;
  editSelStartSetter(view, 0, at - count);
  editSelLengthSetter(view, 0, count);
  editSelTextSetter(view, 0, &kEmpty);
}

// The frame at the head of the queue becomes the one being delivered.
int32_t TakeNextFrame(ObjectRecord* line) {
  StringRecord* text = RuntimeDirectReadStringArray(gWaitingText, 0);
  int32_t effect = RuntimeDirectReadIntArray(gWaitingEffect, 0);
  RuntimeStringArrayRemove(gWaitingText, 0);
  RuntimeIntArrayRemove(gWaitingEffect, 0);
  RuntimeUnlockString(Buffer(line));
  Buffer(line) = text;
  return effect;
}

// The effect of the frame being delivered (set by the delivery loop).
int32_t gDeliveredEffect = 0;

// A whole frame from the assembler joins the queue.
void QueueFrame(void*, const FrameText& t) {
  if (!gWaitingText) {
    gWaitingText = NewList();
    gWaitingEffect = NewList();
  }
  String text = String::Adopt(ZORBBuildString(t.bytes, static_cast<int32_t>(t.length)));
  RuntimeStringArrayAppend(gWaitingText, text.get());
  RuntimeIntArrayAppend(gWaitingEffect, FrameEffect(t));
  Main_Receive(MainWindow());
}

// Bytes that never made a frame were dropped: the user hears it once per
// connection, on the status line, where a wrong speed shows first.
void TellDropped(void*) {
  if (gDroppedTold) return;
  gDroppedTold = true;
  gDroppedToSay = true;
}

// Says it, unless a received frame's "Receiving..." is up: its end says it
// instead, so that the frame does not wipe it out at once.
void SayDropped(ObjectRecord* main) {
  if (!gDroppedToSay || timerModeGetter(Control(main, &kTimerProgressStop)) != 0) return;
  gDroppedToSay = false;
  vs::Field<int32_t>(main, M::kStatus) = -1;
  staticCaptionSetter(Control(main, &kTextStatus), 0, &kUnframedDropped);
}

const FrameSink kToQueue = {nullptr, QueueFrame, TellDropped};

// Game keys are taken from what waits and the rest is dropped; otherwise
// everything waiting goes to the frame assembler, which queues each whole
// frame.
void TakeWaiting(ObjectRecord* line) {
  ObjectRecord* main = MainWindow();
  // What the driver holds counts too: the loop may not have polled lately
  // (a handler that ran long), and the line may be about to close.
  serialTick(line);
  String waiting = String::Adopt(stringGetter(line, offsetof(SerialObject, receiveBuffer)));
  if (!waiting.Length()) return;
  if (Main_InGameMode(main)) {
    String firstTwo = String::Adopt(StringLeft(waiting.get(), 2));
    Main_ReceiveGameKey(main, String::Adopt(StringRight(firstTwo.get(), 1)).get());
    serialFlush(line);
    return;
  }
  String chunk = String::Adopt(serialReadAll(line));
  FrameFeed(&gFrames, chunk.c_str(), static_cast<size_t>(chunk.Length()), kToQueue);
  SayDropped(main);
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
  if (SendingInPieces())
    StopSending(main);
  else
    Main_SetStatus(main, kStatusListening, false);
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

void TakeInWhatArrived(ObjectRecord* main) {
  TakeWaiting(Line(main));
  TimerKeyTyper_Action(Control(main, &kTimerKeyTyper));
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
  } else if (SendingInPieces()) {
    text = &kSending;  // a frame received meanwhile does not hide the send
  } else {
    switch (vs::Field<int32_t>(main, M::kStatus)) {
      case kStatusOffline: text = &kOffline; break;
      case kStatusListening: text = &kListening; break;
      case kStatusReceiving: text = &kReceiving; break;
      case kStatusSending: text = &kSending; break;
      default: return;  // any other code leaves the line as it is
    }
  }
  staticCaptionSetter(Control(main, &kTextStatus), 0, text);
}

void Main_SetStatus(ObjectRecord* main, int32_t code, bool busy) {
  vs::Field<int32_t>(main, M::kStatus) = code;
  Main_StatusUpdate(main);
  // The bar of a send shows its share; it does not turn busy.
  if (busy && Global<bool>(G::kShowProgressBar) && !SendingInPieces())
    SetTimer(main, &kTimerProgressStart, kTimerRepeating);
}

bool Main_Connect(ObjectRecord* main) {
  if (!serialOpen(Line(main))) {
    Main_SetStatus(main, kStatusOffline, false);
    vs::Field<bool>(main, M::kConnected) = false;
    RuntimeMsgBox(&kPortBusy);
    SetTimer(main, &kTimerSerial, kTimerOff);
    return false;
  }
  Listen(main);
  return true;
}

bool Main_Disconnect(ObjectRecord* main) {
  SetTimer(main, &kTimerReconnect, kTimerOff);
  if (!LineOpen(Line(main))) {
    // Lost under the program and not noticed yet: offline now, or the poll
    // would take the loss for one to reconnect after.
    if (Main_IsConnected(main)) GoOffline(main);
    return true;
  }
  // What has arrived is delivered before the line (and its receive buffer) goes.
  EndFrame(main);
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

// The frame goes in as typing it would: over the selection, or at the end
// when nothing is selected, so that the window scrolls to show it. Its
// backspaces take the characters before it (a first one takes the
// selection instead), and none of them reaches the text.
bool Main_ProcessData(ObjectRecord* main) {
  String text = String::Adopt(Main_EncodeText(main, Buffer(Line(main))));
  int32_t erase = gDeliveredEffect / 2;
  ObjectRecord* view = InputView();
  RuntimeSetFocus(view);
  bool selected = editSelLengthGetter(view) > 0;
  if (!selected) PlaceInsertionPointAtEnd(view);
  if (selected) {
    editSelTextSetter(view, 0, &kEmpty);
    if (gDeliveredEffect % 2) --erase;
  }
  EraseBeforeInsertionPoint(view, erase);
  if (text.Length()) editSelTextSetter(view, 0, text.get());
  return true;
}

void Main_ProcessCommand(ObjectRecord* main, StringRecord*) {
  RuntimeMsgBox(&kNoCommands);
  SerialClass_ClearBuffer(Line(main));
}

// A whole frame is waiting: the key typer delivers it at its next firing.
// A typer already armed keeps its time, so that frames coming quickly one
// after another do not put off the first.
void Main_Receive(ObjectRecord* main) {
  if (!FramesWaiting()) return;
  Main_SetStatus(main, kStatusReceiving, true);
  ObjectRecord* typer = Control(main, &kTimerKeyTyper);
  if (timerModeGetter(typer) == kTimerOff) timerModeSetter(typer, 0, kTimerRepeating);
  SetTimer(main, &kTimerProgressStop, kTimerOnce);
}

bool Main_Send(ObjectRecord* main, StringRecord* text) {
  if (!Main_IsConnected(main)) return false;
  String out = String::Adopt(OutgoingBytes(text));
  Main_SetStatus(main, kStatusSending, true);
  if (serialWrite(Line(main), out.get())) {
    SetTimer(main, &kTimerProgressStop, kTimerOnce);
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
    timerModeSetter(timer, 0, kTimerOff);
    return;
  }
  if (serialOpen(Line(main))) Listen(main);
}

// Delivers every waiting frame, oldest first, each on its own. A command
// frame's message box lets the timers run: frames that arrive meanwhile
// join the queue, and a delivery asked for from inside the box (the line
// lost, say) leaves them to the one already running.
void TimerKeyTyper_Action(ObjectRecord* timer) {
  ObjectRecord* main = MainWindow();
  ObjectRecord* line = Line(main);
  if (gDelivering) return;
  gDelivering = true;
  while (FramesWaiting()) {
    gDeliveredEffect = TakeNextFrame(line);
    if (gDeliveredEffect == kCommandEffect) {
      Main_ProcessCommand(main, Buffer(line));
      continue;
    }
    Main_ProcessData(main);
    SerialClass_ClearBuffer(line);
  }
  gDelivering = false;
  timerModeSetter(timer, 0, kTimerOff);
}

// Keeps the progress bar in its busy state while it runs.
void TimerProgressStart_Action(ObjectRecord*) {
  progressMaximumSetter(ProgressBar(), 0, 0);
}

void TimerProgressStop_Action(ObjectRecord*) {
  ObjectRecord* main = MainWindow();
  SetTimer(main, &kTimerProgressStart, kTimerOff);
  Main_SetStatus(main, Main_IsConnected(main) ? kStatusListening : kStatusOffline, false);
  progressMaximumSetter(ProgressBar(), 0, 100);
  SayDropped(main);
}

}  // extern "C"
