// The About window: the product picture as its backdrop, the version in the
// corner, and any click closes it.
#include VS_PROJECT_HEADER

#include "app/main_window.h"
#include "app/pref_names.h"
#include "app/window_instances.h"

namespace {

VS_STRING(kVersionText, "VersionText");
VS_STRING(kVersion, "Version");
VS_STRING(kSpace, " ");

ObjectRecord* gAbout = nullptr;

}  // namespace

void ShowAboutView() { ShowInstance(vs_window_AboutView, &gAbout); }

extern "C" {

void AboutView_Open(ObjectRecord* window) {
  vs::String text = vs::String::Borrow(&kVersion) + vs::String::Borrow(&kSpace) +
                    vs::String::Borrow(&kVersionNumber);
  staticCaptionSetter(RuntimeControlFetch(window, &kVersionText), 0, text.get());
}

// False: the window is gone, so nothing may follow the mouse for it.
bool AboutView_MouseDown(ObjectRecord* window, int32_t, int32_t) {
  RuntimeCloseWindow(window);
  return false;
}

void AboutView_Close(ObjectRecord*) { ForgetInstance(&gAbout); }

}  // extern "C"
