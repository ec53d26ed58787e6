// The autosave: a change arms a one-shot timer of two seconds, unless it is
// armed already (re-arming would let steady typing put the save off for
// ever); its firing saves when something is still unsaved. A save that is
// running when the timer fires (its file loop lets timers run) is not
// entered twice: the timer tries again two seconds later. So does a save
// that failed (a full disk, a file made read-only): the text it took is
// unsaved again, and is kept as soon as the file can be written.
#include VS_PROJECT_HEADER

#include "app/autosave.h"
#include "app/globals.h"
#include "app/main_controls.h"

namespace {

bool gUnsaved = false;
int32_t gSavesRunning = 0;

// The autosave timer; nil before the main window exists.
ObjectRecord* Timer() {
  return MainWindow() ? RuntimeControlFetch(MainWindow(), &kTimerAutosave) : nullptr;
}

void Arm() {
  ObjectRecord* timer = Timer();
  if (timer && timerModeGetter(timer) == kTimerOff) timerModeSetter(timer, 0, kTimerOnce);
}

}  // namespace

void NoteUnsavedChange() {
  gUnsaved = true;
  Arm();
}

bool HasUnsavedChanges() { return gUnsaved; }
bool SaveInProgress() { return gSavesRunning > 0; }

void ForgetUnsavedChanges() {
  gUnsaved = false;
  if (ObjectRecord* timer = Timer()) timerModeSetter(timer, 0, kTimerOff);
}

SaveScope::SaveScope() {
  ++gSavesRunning;
  gUnsaved = false;
}
SaveScope::~SaveScope() { --gSavesRunning; }
void SaveScope::Failed() { NoteUnsavedChange(); }

extern "C" {

void TimerAutosave_Action(ObjectRecord*) {
  if (!gUnsaved) return;
  if (gSavesRunning) {
    Arm();
    return;
  }
  Main_PrefsSave(MainWindow());
}

void InputView_TextChange(ObjectRecord*) { NoteUnsavedChange(); }

// Only a place other than the one the window was given is a change.
void Main_Moved(ObjectRecord* main) {
  int32_t x = windowPosGetter(main, 0), y = windowPosGetter(main, 1);
  if (x == Global<int32_t>(G::kX) && y == Global<int32_t>(G::kY)) return;
  Global<int32_t>(G::kX) = x;
  Global<int32_t>(G::kY) = y;
  NoteUnsavedChange();
}

}  // extern "C"
