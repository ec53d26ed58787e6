// A multiple-document application that shows a message before it has any
// window of its own: the box belongs to the frame and carries its caption.
#include "window_mdi_message_project.h"
#include "tests/images/app_trace.h"

extern "C" void MdiEntry() {
  RuntimeInit(vs_project_record);
  RuntimeMsgBox(vt::Line("In multiple-document mode").get());
  vt::Trace("message closed");
  RuntimeRun();
  vt::Trace("run ended");
}
