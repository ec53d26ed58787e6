// The connection logic of the main window against the handheld simulator at
// the other end of a pseudo-terminal cable: the window connects when it
// opens and greets the handheld with a line; the handheld's frames, sent in
// pieces, arrive in the Writing Window, where the runner reads them.
#include "connection_app_project.h"

#include "app/main_window.h"

namespace {

VS_STRING(kHello, "hey");

ObjectRecord* gMain = nullptr;

namespace G = vs_project::Globals;

}  // namespace

ObjectRecord* MainWindow() { return gMain; }

extern "C" {

void Main_Open(ObjectRecord* main) {
  gMain = main;
  ObjectRecord* globals = vs_module_Globals;
  vs::Field<bool>(globals, G::kShowProgressBar) = true;
  vs::Field<int32_t>(globals, G::kReturnType) = 2;  // CR LF
  vs::Field<int32_t>(globals, G::kTextEncoder) = 0;
  if (Main_Connect(main)) Main_Send(main, &kHello);
}

void ConnectionEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
}

}  // extern "C"
