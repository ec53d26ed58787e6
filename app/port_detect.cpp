// Detect: listening on every port of a port popup at once for the handheld.
// The user writes a few letters once, so the ports are not tried one after
// another: each is opened on a Serial object of its own, and a timer of the
// window looks at what each has received, without holding up the event loop.
// The first port a whole frame arrives on (STX ... ETX, as the Writing
// Window's assembler takes frames) is selected in the popup; nothing is
// stored: that is for Setup or Save. A port that cannot be opened is
// skipped, and named when no port answers. Listening ends after kListenMs.
//
// The main line would hold one of the ports and take its bytes: a connected
// one is closed for the listening and opened again afterwards.
#include VS_PROJECT_HEADER

#include <stddef.h>

#include "app/frame_assembler.h"
#include "app/port_detect.h"

namespace {

using vs::String;

VS_STRING(kButton, "Button_Detect");
VS_STRING(kProgress, "Text_Detect");
VS_STRING(kTimer, "Timer_Detect");
VS_STRING(kDetect, "Detect");
VS_STRING(kCancel, "Cancel");
VS_STRING(kEmpty, "");
VS_STRING(kListeningOn, "Listening on ");
VS_STRING(kSecondsLeft, " s left): write a few letters on the handheld.");
VS_STRING(kOpenParen, " (");
VS_STRING(kFoundOn, "Found the handheld on ");
VS_STRING(kNoneAnswered, "No handheld answered on ");
VS_STRING(kNotOpened, " could not be opened (not there, or in use by another program).");
VS_STRING(kFullStop, ".");
VS_STRING(kSpace, " ");
VS_STRING(kComma, ", ");
VS_STRING(kAnd, " and ");
VS_STRING(kOr, " or ");
VS_STRING(kOtherPorts, " other ports");

// Listening ends this long after the click, well within the 20 s a user waits.
constexpr double kListenMs = 15000;
// A sentence names at most this many ports; the rest are counted.
constexpr int32_t kNamed = 6;

// Rows of the popup's port rows (0 = its first port).
struct RowList {
  int32_t row[PortRows::kMax];
  int32_t count;
};

// The listening under way: one window's at a time.
struct Detection {
  ObjectRecord* window;  // locked; nil while none listens
  PortPopup popup;
  RowList listened;                    // ports open and listened to
  ObjectRecord* line[PortRows::kMax];  // the Serial of each, in the same order
  int32_t scanned[PortRows::kMax];     // bytes of its buffer looked through
  RowList unopened;                    // ports that could not be opened
  double endMs;
  int32_t secondsShown;  // the time left the progress line gives
  bool reconnect;        // the main line was connected before
};
Detection gDetect;

// One assembler serves every port in turn (see HeardFrame).
FrameAssembler gScan;
bool gFrameSeen = false;
void NoteFrame(void*, const FrameText&) { gFrameSeen = true; }
void IgnoreDropped(void*) {}
const FrameSink kSeen = {nullptr, NoteFrame, IgnoreDropped};

double NowMs() { return RuntimeMicroseconds() / 1000.0; }
String Str(int32_t n) { return String::Adopt(StringStr(n)); }
String Text(StringRecord* constant) { return String::Borrow(constant); }

// A control of the listening window, borrowed.
ObjectRecord* Control(StringRecord* name) { return RuntimeControlFetch(gDetect.window, name); }

// The name a port row shows ("COM12").
String Name(int32_t row) {
  return String::Adopt(RuntimePopupGetRow(Control(gDetect.popup.name), gDetect.popup.firstRow + row));
}

// The ports for a sentence: "COM1", "COM1 and COM2", "COM1, COM2 and COM3",
// `last` being " and " or " or ". Past kNamed ports the rest are counted
// ("COM1, ..., COM5 and 28 other ports"), so that a machine with dozens of
// ports still gets a line that fits.
String NameList(const RowList& ports, StringRecord* last) {
  int32_t named = ports.count > kNamed ? kNamed - 1 : ports.count;
  int32_t items = named + (ports.count > named ? 1 : 0);
  String text;
  for (int32_t i = 0; i < named; ++i) {
    if (i > 0) text = text + Text(i == items - 1 ? last : &kComma);
    text = text + Name(ports.row[i]);
  }
  if (items == named) return text;
  return text + Text(last) + Str(ports.count - named) + Text(&kOtherPorts);
}

void Say(StringRecord* text) { staticCaptionSetter(Control(&kProgress), 0, text); }

// The window's controls while listening (or not): the button cancels, the
// popup waits for the result, the timer runs.
void ShowListening(bool on) {
  pushButtonTitleSetter(Control(&kButton), 0, on ? &kCancel : &kDetect);
  controlEnabledSetter(Control(gDetect.popup.name), 0, !on);
  timerModeSetter(Control(&kTimer), 0, on ? kTimerRepeating : kTimerOff);
}

// "Listening on COM1, COM3 and COM12 (14 s left): write a few letters on the
// handheld.", written again only when the seconds change.
void ShowProgress(double nowMs) {
  int32_t left = static_cast<int32_t>((gDetect.endMs - nowMs + 999) / 1000);
  if (left == gDetect.secondsShown) return;
  gDetect.secondsShown = left;
  String text = Text(&kListeningOn) + NameList(gDetect.listened, &kAnd) + Text(&kOpenParen) + Str(left) +
                Text(&kSecondsLeft);
  Say(text.get());
}

// What listening without a frame comes to: the ports that stayed silent,
// then those that could not be opened.
String Outcome() {
  String text;
  if (gDetect.listened.count)
    text = Text(&kNoneAnswered) + NameList(gDetect.listened, &kOr) + Text(&kFullStop);
  if (!gDetect.unopened.count) return text;
  if (text.Length()) text = text + Text(&kSpace);
  return text + NameList(gDetect.unopened, &kAnd) + Text(&kNotOpened);
}

// Opens a Serial of its own on each port row with the settings given; the
// ports that open are listened to, the others kept to be named.
void OpenPorts(const LineChoice& choice) {
  const PortRows& rows = *gDetect.popup.rows;
  for (int32_t row = 0; row < rows.count; ++row) {
    ObjectRecord* line = RuntimeNewObject(vs_project::kClassSerial);
    SerialObject* settings = reinterpret_cast<SerialObject*>(line);
    ApplyLine(settings, choice);
    settings->port = rows.port[row];
    if (!serialOpen(line)) {
      RuntimeUnlockObject(line);
      gDetect.unopened.row[gDetect.unopened.count++] = row;
      continue;
    }
    int32_t i = gDetect.listened.count++;
    gDetect.listened.row[i] = row;
    gDetect.line[i] = line;
    gDetect.scanned[i] = 0;
  }
}

// Ends the listening with `said` on the progress line: every port closes,
// the window's controls are as before, and the main line opens again when
// it was closed for the listening.
void Finish(StringRecord* said) {
  for (int32_t i = 0; i < gDetect.listened.count; ++i) {
    serialClose(gDetect.line[i]);
    RuntimeUnlockObject(gDetect.line[i]);
  }
  ShowListening(false);
  Say(said);
  ObjectRecord* window = gDetect.window;
  bool reconnect = gDetect.reconnect;
  gDetect.window = nullptr;
  gDetect.listened.count = gDetect.unopened.count = 0;
  RuntimeUnlockObject(window);
  if (reconnect) Main_Connect(MainWindow());
}

// Whether what the i-th port has received holds a whole frame. Its bytes
// stay in its line's receive buffer and are read again from the start
// whenever more came: every port would need an assembler of its own
// otherwise, and one is 64 KiB. At the fastest speed offered a port gets
// under 90 KB while listening lasts.
bool HeardFrame(int32_t i) {
  ObjectRecord* line = gDetect.line[i];
  serialTick(line);
  String bytes = String::Adopt(stringGetter(line, offsetof(SerialObject, receiveBuffer)));
  int32_t length = bytes.Length();
  if (length == gDetect.scanned[i]) return false;
  gDetect.scanned[i] = length;
  gFrameSeen = false;
  FrameReset(&gScan);
  FrameFeed(&gScan, bytes.c_str(), static_cast<size_t>(length), kSeen);
  return gFrameSeen;
}

// The port in row `row` answered: the popup shows it.
void Found(int32_t row) {
  RuntimePopupSelectionSetter(Control(gDetect.popup.name), 0, gDetect.popup.firstRow + row);
  String text = Text(&kFoundOn) + Name(row) + Text(&kFullStop);
  Finish(text.get());
}

// Listens in `window` on the ports of `popup` (nothing else listening); when
// no port opens, the result says so at once.
void Start(ObjectRecord* window, const PortPopup& popup, const LineChoice& line) {
  RuntimeLockObject(window);
  gDetect.window = window;
  gDetect.popup = popup;
  gDetect.endMs = NowMs() + kListenMs;
  gDetect.secondsShown = -1;
  ObjectRecord* main = MainWindow();
  gDetect.reconnect = Main_IsConnected(main);
  if (gDetect.reconnect) Main_Disconnect(main);
  OpenPorts(line);
  if (!gDetect.listened.count) {
    Finish(Outcome().get());
    return;
  }
  ShowListening(true);
  ShowProgress(NowMs());
}

}  // namespace

LineChoice CurrentLine() {
  const SerialObject* s = SerialSettings();
  return {s->baud, s->bits, s->stop, s->parity, s->xon, s->cts, s->dtr};
}

void ApplyLine(SerialObject* line, const LineChoice& c) {
  line->baud = c.baud;
  line->bits = c.bits;
  line->stop = c.stop;
  line->parity = c.parity;
  line->xon = c.xon;
  line->cts = c.cts;
  line->dtr = c.dtr;
}

void DetectClicked(ObjectRecord* window, const PortPopup& popup, const LineChoice& line) {
  bool cancel = gDetect.window == window;
  if (gDetect.window) Finish(&kEmpty);
  if (!cancel) Start(window, popup, line);
}

void DetectStop(ObjectRecord* window) {
  if (window && gDetect.window == window) Finish(&kEmpty);
}

extern "C" {

// Each firing looks at every port; the first with a frame wins. Without
// one, the time left is shown until it runs out.
void DetectTimer_Action(ObjectRecord*) {
  if (!gDetect.window) return;
  for (int32_t i = 0; i < gDetect.listened.count; ++i) {
    if (!HeardFrame(i)) continue;
    Found(gDetect.listened.row[i]);
    return;
  }
  double now = NowMs();
  if (now < gDetect.endMs) {
    ShowProgress(now);
    return;
  }
  Finish(Outcome().get());
}

}  // extern "C"
