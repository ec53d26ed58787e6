// Sending without freezing the window. A long text or a large file at a
// slow line takes minutes; written in one go it would stop the window, the
// reading of frames from the handheld, and any way to stop it. So what is to
// go out leaves in pieces from a fast timer: each piece is one write that
// may take at most 20 ms (the line takes what it can in that time, the rest
// is offered again at the next firing), so that keys typed meanwhile appear
// at once, and the event loop runs in full between pieces. The progress bar
// shows the share sent.
//
// A send that ends any way but whole (Stop Sending or Escape, the line
// pulled out or closed for Preferences, the handheld refusing data) says
// so: "Stopped: N of M bytes sent" stays on the status line until its next
// change, and what the driver still holds is dropped, so that it cannot
// reach the handheld later, ahead of the next send.
#include VS_PROJECT_HEADER

#include "app/globals.h"
#include "app/main_controls.h"

namespace {

using vs::Ref;
using vs::String;

VS_STRING(kStoppedAfter, "Stopped: ");
VS_STRING(kOf, " of ");
VS_STRING(kBytesSent, " bytes sent");
VS_STRING(kEscape, "\x1B");
VS_STRING(kIntegerMask, "###################;-###################;0");
VS_STRING(kNotReadToItsEnd, "could not be read to its end");
VS_STRING(kTheFile, "The file ");
VS_STRING(kColon, ": ");
VS_STRING(kSpace, " ");
VS_STRING(kFullStop, ".");

// One write blocks the window at most this long.
constexpr int32_t kWriteLimitMs = 20;
// Bytes offered to one write; the line takes what it can of them.
constexpr int32_t kPieceBytes = 4096;
// A line that takes nothing for this long is refused, as a whole write
// that cannot finish in its line time plus two seconds is.
constexpr double kStallMs = 2000 + kWriteLimitMs;

// The send in progress: a text (sent from `text`, 1-based position `next`)
// or a file (its lines taken into `pending` as they are needed).
struct Send {
  bool active;
  StringRecord* text;
  int32_t next;
  ObjectRecord* file;    // the stream its lines come from
  ObjectRecord* source;  // the file itself, for a message
  StringRecord* pending;
  int32_t sent;
  int32_t total;
  double lastProgressMs;
};
Send gSend = {};

// The runtime's clock counts microseconds (at millisecond resolution).
double NowMs() { return RuntimeMicroseconds() / 1000.0; }

ObjectRecord* Timer(ObjectRecord* main) { return RuntimeControlFetch(main, &kTimerSend); }
ObjectRecord* Line(ObjectRecord* main) { return RuntimeControlFetch(main, &kSerialPort); }

void Forget() {
  RuntimeUnlockString(gSend.text);
  RuntimeUnlockString(gSend.pending);
  if (gSend.file) {
    TextInputStreamClose(gSend.file);
    RuntimeUnlockObject(gSend.file);
    RuntimeUnlockObject(gSend.source);
  }
  gSend = {};
}

// Shows the share sent on the progress bar.
void ShowProgress() {
  int32_t total = gSend.total > 0 ? gSend.total : 1;
  int32_t percent = static_cast<int32_t>(100.0 * gSend.sent / total);
  progressValueSetter(ProgressBar(), 0, percent > 100 ? 100 : percent);
}

bool Begin(ObjectRecord* main) {
  if (gSend.active || !Main_IsConnected(main)) return false;
  gSend.active = true;
  gSend.next = 1;
  gSend.lastProgressMs = NowMs();
  Main_SetStatus(main, kStatusSending, false);
  progressMaximumSetter(ProgressBar(), 0, 100);
  ShowProgress();
  timerModeSetter(Timer(main), 0, kTimerRepeating);
  return true;
}

// Ends the send: the timer stops, the file closes, the bar empties.
void End(ObjectRecord* main) {
  timerModeSetter(Timer(main), 0, kTimerOff);
  Forget();
  progressValueSetter(ProgressBar(), 0, 0);
}

// The next bytes to offer the line; empty when everything has gone.
String NextPiece() {
  if (gSend.text)
    return String::Adopt(StringMid3(gSend.text, gSend.next, kPieceBytes));
  // A file: lines are read, converted and given their line end until a
  // piece is full or the file ends.
  String pending = String::Borrow(gSend.pending);
  while (pending.Length() < kPieceBytes && !TextInputStreamEOF(gSend.file)) {
    String line = String::Adopt(TextInputStreamReadLine(gSend.file));
    pending = pending + String::Adopt(OutgoingBytes(line.get()));
  }
  RuntimeLockString(pending.get());
  RuntimeUnlockString(gSend.pending);
  gSend.pending = pending.get();
  return pending;
}

void Consumed(int32_t count) {
  gSend.sent += count;
  if (gSend.text) {
    gSend.next += count;
    return;
  }
  String rest = String::Adopt(StringMid2(gSend.pending, count + 1));
  RuntimeLockString(rest.get());
  RuntimeUnlockString(gSend.pending);
  gSend.pending = rest.get();
}

String Number(int32_t n) {
  return String::Adopt(StringFormat(static_cast<double>(n), &kIntegerMask));
}

}  // namespace

bool SendingInPieces() { return gSend.active; }

void TellAboutFile(StringRecord* before, ObjectRecord* file, StringRecord* after) {
  String said = String::Borrow(before) + String::Adopt(fileAbsolutePathGetter(file));
  if (after) said = said + String::Borrow(after);
  String reason = String::Adopt(RuntimeFileErrorText());
  if (reason.Length()) said = said + String::Borrow(&kColon) + reason;
  RuntimeMsgBox((said + String::Borrow(&kFullStop)).get());
}

void TellFileFailure(StringRecord* what, ObjectRecord* file) {
  String after = String::Borrow(&kSpace) + String::Borrow(what);
  TellAboutFile(&kTheFile, file, after.get());
}

bool SendInPieces(ObjectRecord* main, StringRecord* text) {
  if (!Begin(main)) return false;
  gSend.text = OutgoingBytes(text);
  gSend.total = StringLen(gSend.text);
  return true;
}

bool SendFileInPieces(ObjectRecord* main, ObjectRecord* stream, ObjectRecord* file) {
  if (!Begin(main)) return false;
  RuntimeLockObject(stream);
  RuntimeLockObject(file);
  gSend.file = stream;
  gSend.source = file;
  // Line ends may grow or shrink on the way; the bar is a share, not a count.
  gSend.total = fileSizeGetter(file);
  return true;
}

void StopSending(ObjectRecord* main) {
  if (!gSend.active) return;
  String said = String::Borrow(&kStoppedAfter) + Number(gSend.sent) + String::Borrow(&kOf) +
                Number(gSend.total) + String::Borrow(&kBytesSent);
  End(main);
  serialPurgeOutput(Line(main));
  // The busy display of a frame received meanwhile would end by putting up
  // "Listening", as after a finished send.
  timerModeSetter(RuntimeControlFetch(main, &kTimerProgressStop), 0, kTimerOff);
  timerModeSetter(RuntimeControlFetch(main, &kTimerProgressStart), 0, kTimerOff);
  progressMaximumSetter(ProgressBar(), 0, 100);
  // A status of its own: the line keeps saying how much went out until the
  // next thing happens on it.
  vs::Field<int32_t>(main, vs_project::Main::kStatus) = -1;
  staticCaptionSetter(RuntimeControlFetch(main, &kTextStatus), 0, said.get());
}

extern "C" {

// One piece: one write of at most kWriteLimitMs.
void TimerSend_Action(ObjectRecord*) {
  ObjectRecord* main = MainWindow();
  if (!gSend.active) return;
  if (!Main_IsConnected(main)) {
    StopSending(main);
    return;
  }
  String piece = NextPiece();
  if (gSend.file && TextInputStreamReadFailed(gSend.file)) {
    // Lines after a read error would be a truncated file taken for a whole one.
    Ref source = Ref::Borrow(gSend.source);
    StopSending(main);
    TellFileFailure(&kNotReadToItsEnd, source.get());
    return;
  }
  if (!piece.Length()) {
    End(main);
    // As after any send: a moment later the status line says "Listening".
    timerModeSetter(RuntimeControlFetch(main, &kTimerProgressStop), 0, kTimerOnce);
    return;
  }
  int32_t wrote = serialWriteSome(Line(main), piece.get(), kWriteLimitMs);
  double now = NowMs();
  if (wrote > 0) {
    Consumed(wrote);
    gSend.lastProgressMs = now;
    ShowProgress();
    return;
  }
  if (wrote == 0 && now - gSend.lastProgressMs < kStallMs) return;
  SendRefused(main);
}

bool Main_FileStopSending(ObjectRecord* main) {
  StopSending(main);
  return true;
}

// Escape stops a send, in the main window and in the Writing Window.
bool Main_KeyDown(ObjectRecord* main, StringRecord* key) {
  if (!gSend.active || StringStrCompare(key, &kEscape, 0) != 0) return false;
  StopSending(main);
  return true;
}

bool InputView_KeyDown(ObjectRecord*, StringRecord* key) { return Main_KeyDown(MainWindow(), key); }

}  // extern "C"
