// The main window's connection logic against the handheld simulator over a
// pseudo-terminal cable: it connects on opening and greets the handheld. A
// step timer turns game mode on and off; the game key recorded meanwhile is
// traced, as nothing outside the program shows it. Then a frame arrives
// while the loop is held, and a Disconnect right after must still deliver it.
#include "connection_app_project.h"

#include "app/main_window.h"
#include "tests/images/app_trace.h"

namespace {

VS_STRING(kHello, "hey");
VS_STRING(kGo, "go");

int32_t gTicks = 0;

ObjectRecord* gMain = nullptr;

namespace G = vs_project::Globals;

}  // namespace

ObjectRecord* MainWindow() { return gMain; }
// This window sends in one piece (Main_Send) only.
bool SendingInPieces() { return false; }
void StopSending(ObjectRecord*) {}

extern "C" {

void Main_Open(ObjectRecord* main) {
  gMain = main;
  ObjectRecord* globals = vs_module_Globals;
  vs::Field<bool>(globals, G::kShowProgressBar) = true;
  vs::Field<int32_t>(globals, G::kReturnType) = 2;  // CR LF
  vs::Field<int32_t>(globals, G::kTextEncoder) = 0;
  vs::Field<bool>(globals, G::kEnableKeyRepeat) = false;  // keys are recorded only then
  if (Main_Connect(main)) Main_Send(main, &kHello);
}

// Second 6: game mode on (the handheld then sends a key frame); second 9:
// the recorded key, and game mode off again.
void StepTimer_Action(ObjectRecord*) {
  if (++gTicks == 9) vt::Trace("last game key ", vs::Field<StringRecord*>(vs_module_Globals, G::kLastGameKey));
  if (gTicks == 6 || gTicks == 9) {
    Main_ToggleGameMode(gMain);
    vt::Trace("game mode ", Main_InGameMode(gMain) ? vt::Line("on") : vt::Line("off"));
  }
  // Second 11: the handheld answers "go" with a frame at once; this handler
  // holds the loop meanwhile, so that the frame waits in the driver until
  // the Disconnect.
  if (gTicks == 11) {
    Main_Send(gMain, &kGo);
    for (double until = RuntimeMicroseconds() + 2e6; RuntimeMicroseconds() < until;) {
    }
    Main_Disconnect(gMain);
    vt::Trace("disconnected with ", vs::String::Adopt(editTextGetter(InputView())));
  }
}

void ConnectionEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
}

}  // extern "C"
