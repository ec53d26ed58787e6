// Keeping the Writing Window's text in a file of the user's choosing: File >
// Save Writing Window As..., and the question on closing while the settings
// cannot be saved. The save dialog suggests "Writing Window.txt" in the
// folder saved to last (the preference file keeps it). The text goes out
// with Windows line ends, in the Windows code page the Writing Window holds
// it in, through the runtime's replacing write: a file of that name that is
// already there stays whole until the new one is complete.
#include VS_PROJECT_HEADER

#include "app/autosave.h"
#include "app/globals.h"
#include "app/pref_container.h"

namespace {

using vs::Ref;
using vs::String;

VS_STRING(kTextFileTypes, "text/plain");
VS_STRING(kSuggestedName, "Writing Window.txt");
VS_STRING(kFolderKey, "SaveTextFolder");
VS_STRING(kTextNotSaved, "The text could not be saved to ");
VS_STRING(kCrLf, "\r\n");
VS_STRING(kCr, "\r");
VS_STRING(kLf, "\n");

// `text` with every line end, whichever the edit control gave, as CR LF
// (one reference for the caller).
String WithWindowsLineEnds(StringRecord* text) {
  String unified = String::Adopt(StringReplaceAll(text, &kCrLf, &kLf));
  unified = String::Adopt(StringReplaceAll(unified.get(), &kCr, &kLf));
  return String::Adopt(StringReplaceAll(unified.get(), &kLf, &kCrLf));
}

// Writes `text` to `file`; false, with the user told why, when it could not.
bool WriteText(ObjectRecord* file, StringRecord* text) {
  Ref stream = Ref::Adopt(FolderItemCreateTextFile(file));
  bool written = stream && TextOutputStreamWrite(stream.get(), text);
  // A failed write has given up the new file already; closing only tidies.
  if (stream) written = TextOutputStreamClose(stream.get()) && written;
  if (written) return true;
  TellAboutFile(&kTextNotSaved, file, nullptr);
  return false;
}

// The next dialog opens where this file was saved.
void RememberFolderOf(ObjectRecord* file) {
  Ref folder = Ref::Adopt(folderParentGetter(file));
  if (!folder || !Prefs()) return;
  PrefContainer_PutFolderItem(Prefs(), &kFolderKey, folder.get());
  NoteUnsavedChange();
}

}  // namespace

bool SaveWritingWindowAs() {
  Ref folder = Ref::Adopt(Prefs() ? PrefContainer_GetFolderItem(Prefs(), &kFolderKey) : nullptr);
  Ref file = Ref::Adopt(RuntimeGetSaveFolderItemNamed(&kTextFileTypes, &kSuggestedName, folder.get()));
  if (!file) return false;
  String text = WithWindowsLineEnds(String::Adopt(editTextGetter(InputView())).get());
  if (!WriteText(file.get(), text.get())) return false;
  RememberFolderOf(file.get());
  return true;
}
