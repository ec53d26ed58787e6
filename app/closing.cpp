// Ending the program without losing the user's text. The close box, Exit
// and log-off ask the main window first ("CancelClose", "EndSession"): what
// has arrived from the handheld is taken in and the text is saved. While
// the save fails, the program does not end quietly: a question names the
// file and the reason and offers to try again, to keep the text in a file
// of the user's choosing, or to quit without saving (or not to quit).
#include VS_PROJECT_HEADER

#include "app/autosave.h"
#include "app/globals.h"

namespace {

using vs::Ref;
using vs::String;

VS_STRING(kWhatNow,
          "\r\n\r\nTry again, save the text of the Writing Window to another file, or quit "
          "without saving it?");
VS_STRING(kChoices, "Try Again\rSave Text As...\rQuit Without Saving");
VS_STRING(kChoicesOrStay, "Try Again\rSave Text As...\rQuit Without Saving\rCancel");

// The buttons of the question, numbered as RuntimeAskQuestion answers.
enum Choice { kClosedBox = 0, kTryAgain = 1, kSaveAs = 2, kQuitWithoutSaving = 3 };

enum class Outcome { kSaved, kLetGo, kStay };

// The user has decided what becomes of the text (kept in another file, or
// not kept): the program ends without saving or asking again.
bool gLetGo = false;

// Saves, and asks for as long as the save fails. Without `mayStay` the
// program ends whatever the user answers, so there is no Cancel and closing
// the question asks again.
Outcome SaveOrAsk(ObjectRecord* main, bool mayStay) {
  for (;;) {
    if (SavePreferences(main, false)) return Outcome::kSaved;
    String question = String::Adopt(SaveFailureText()) + String::Borrow(&kWhatNow);
    int32_t choice = RuntimeAskQuestion(question.get(), mayStay ? &kChoicesOrStay : &kChoices);
    if (choice == kTryAgain) continue;
    if (choice == kSaveAs) {
      if (SaveWritingWindowAs()) return Outcome::kLetGo;
      continue;
    }
    if (choice == kQuitWithoutSaving) return Outcome::kLetGo;
    if (mayStay) return Outcome::kStay;
  }
}

}  // namespace

void SaveBeforeQuitting(ObjectRecord* main) {
  if (gLetGo) return;
  // With no text at stake (nothing changed since the last save), a save
  // that fails is told, not asked about.
  if (HasUnsavedChanges())
    SaveOrAsk(main, false);
  else
    SavePreferences(main, true);
  gLetGo = true;
}

extern "C" {

// Raised by the close box, by Exit and by ApplicationQuit: true keeps the
// program running. The line stays open; Close disconnects and saves again
// what arrived since.
bool Main_CancelClose(ObjectRecord* main) {
  if (gLetGo) return false;
  TakeInWhatArrived(main);
  if (!HasUnsavedChanges()) return false;
  Outcome outcome = SaveOrAsk(main, true);
  if (outcome == Outcome::kLetGo) gLetGo = true;
  return outcome == Outcome::kStay;
}

// Log-off or shutdown: the process may be ended right after this without
// any window closing, so the settings and the text are saved now, changed
// or not (the setup assistant's choices live only in the store until a
// save). Windows first asks whether the session may end (`asking`): a save
// that fails then gets the question, and Cancel keeps the session. When it
// says that the session ends, only what changed since is saved, without a
// question.
bool Main_EndSession(ObjectRecord* main, bool asking) {
  if (SaveInProgress() || gLetGo) return false;
  TakeInWhatArrived(main);
  if (!asking) {
    if (HasUnsavedChanges()) SavePreferences(main, false);
    return false;
  }
  Outcome outcome = SaveOrAsk(main, true);
  if (outcome == Outcome::kLetGo) gLetGo = true;
  return outcome == Outcome::kStay;
}

}  // extern "C"
