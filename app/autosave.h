// Keeping the Writing Window safe while the program runs: every change to
// its text, size or place is saved with the settings within two seconds,
// at most once every two seconds, and nothing is saved while nothing
// changed. A save that fails leaves the text unsaved, so the autosave tries
// again two seconds later without waiting for another edit.
#pragma once
#include "sdk/vellory.h"

// Something that the preference file keeps has changed: a save follows
// within two seconds.
void NoteUnsavedChange();

// Forgets the changes made so far (start-up's own settling of the window).
void ForgetUnsavedChanges();

// Something is changed that no save has kept yet.
bool HasUnsavedChanges();
// A save is running (its file loop lets timers and messages through).
bool SaveInProgress();

// Held by a save from before it takes what it writes until it has written
// it: a change made meanwhile is not in this save, so it waits for the next.
class SaveScope {
 public:
  SaveScope();
  ~SaveScope();
  // The save did not keep what it took: it stays unsaved.
  void Failed();
  SaveScope(const SaveScope&) = delete;
  SaveScope& operator=(const SaveScope&) = delete;
};

extern "C" {
void TimerAutosave_Action(ObjectRecord* timer);
void InputView_TextChange(ObjectRecord* field);
void Main_Moved(ObjectRecord* main);
}
