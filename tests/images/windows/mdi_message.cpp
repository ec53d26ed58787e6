// A multiple-document application that shows a message before it has any
// window of its own: the box belongs to the frame and carries its caption.
#include "window_mdi_message_project.h"

namespace {

VS_STRING(kHello, "In multiple-document mode");
VS_STRING(kClosed, "message closed");
VS_STRING(kDone, "run ended");

}  // namespace

extern "C" void MdiEntry() {
  RuntimeInit(vs_project_record);
  RuntimeMsgBox(&kHello);
  lineTrace(&kClosed);
  RuntimeRun();
  lineTrace(&kDone);
}
