// Replacing a file without ever losing it: the new bytes go to a file of
// their own in the target's folder, which is flushed, closed and only then
// moved over the target in one step. At every moment the target is either
// the complete old file or the complete new one; a failure at any step
// leaves the old file as it was and removes the new one. The runtime's
// text output streams write this way, and the reason of the last failure
// is kept for the caller who wants to tell the user.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

// The steps of a replace, in order, as fault injection names them.
enum class FileStep { kCreate, kWrite, kFlush, kClose, kReplace };

// Tests make a step fail as a full disk or a vanished folder would: the hook
// returns the system error code the step then fails with, or 0 to let it
// run. The program has none.
using FileFaultHook = DWORD (*)(FileStep step);
void SetFileFaultHook(FileFaultHook hook);

// A replace in progress: `file` is the new file while it is open (0 when
// none), `error` the first failure (0 while every step succeeded).
struct ReplacingFile {
  HFILE file = 0;
  std::string temp;
  std::string target;
  DWORD error = 0;
};

// Starts replacing `target`: creates the new file beside it. False (with the
// reason noted) when the target is a folder or read-only, or the new file
// cannot be made; nothing is left behind then.
bool BeginReplacing(const std::string& target, ReplacingFile& r);

// Appends bytes to the new file. After the first failure every later write
// fails too, so that an incomplete file can never be put in place.
bool WriteReplacing(ReplacingFile& r, const void* bytes, size_t size);

// Flushes and closes the new file and moves it over the target. True when the
// target now holds everything written; false (old target untouched, new file
// removed, reason noted) otherwise. Idempotent: a finished replace answers
// false without touching anything.
bool FinishReplacing(ReplacingFile& r);

// Gives up a replace: closes and removes the new file, leaves the target.
void AbandonReplacing(ReplacingFile& r);

// Moves `from` to `to` in one step, replacing a file there. False with the
// reason noted.
bool MoveReplacing(const std::string& from, const std::string& to);

// The reason of the runtime's last failed file operation, as a system error
// code; NoteFileError records one.
void NoteFileError(DWORD code);
DWORD LastFileError();
