// The window-program entry; see win_main.h.
#include "startup/win_main.h"

#include <commctrl.h>

#include "objects/process_globals.h"
#include "objects/small_heap.h"
#include "startup/image_loader.h"

int RuntimeWinMain(HINSTANCE module, HINSTANCE, LPSTR, int) {
  gModuleHandle = module;
  InitCommonControls();
  InitAllocatorLock();
  return LoadApplicationImage() ? 0 : 1;
}
