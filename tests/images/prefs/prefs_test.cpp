// The preference store against the file it writes: typed values put, the
// file's exact lines, and every value read back by a second container over
// defaults, as the application does at start-up. (Only what the application
// calls: a folder kept in the file is app/save_text.sh's, escaped text
// app/prefs_file.sh's.)
#include "prefs_app_project.h"

#include "app/pref_container.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

VS_STRING(kFile, "Vellory Prefs Test");

// A name or value for one call.
#define K(...) Line(__VA_ARGS__).get()

ObjectRecord* NewContainer() {
  ObjectRecord* p = RuntimeNewObject(vs_project::kClassPrefContainer);
  PrefContainer_Init(p, &kFile);
  return p;
}

void WriteSettings(ObjectRecord* p) {
  PrefContainer_PutInteger(p, K("Port"), 3);
  PrefContainer_PutInteger(p, K("Baud"), -12);
  PrefContainer_PutBoolean(p, K("XON"), true);
  PrefContainer_PutInteger(p, K("port"), 1);  // replaces "Port", keeps its spelling
  PrefContainer_Write(p);
}

void ReadBack() {
  Ref q = Ref::Adopt(NewContainer());
  ObjectRecord* c = q.get();
  PrefContainer_Put(c, K("Baud"), K("12"));  // a default the file replaces
  PrefContainer_Read(c);
  Trace("count ", PrefContainer_NumPrefs(c));
  Trace(String::Adopt(PrefContainer_GetNthName(c, 0)), " ", String::Adopt(PrefContainer_GetNthName(c, 2)));
  Trace(PrefContainer_GetInteger(c, K("PORT")), " ", PrefContainer_GetInteger(c, K("Baud")), " ",
        PrefContainer_GetBoolean(c, K("XON")));
  // Missing keys: "", 0, false; a missing folder is nil.
  Trace(" ", String::Adopt(PrefContainer_GetString(c, K("Missing"))), PrefContainer_GetInteger(c, K("Missing")),
        PrefContainer_GetBoolean(c, K("Missing")), PrefContainer_GetFolderItem(c, K("Missing")) == nullptr);
  PrefContainer_Clear(c);
  Trace("count ", PrefContainer_NumPrefs(c));
}

// Many names, many times the index's first size: each is found in any
// letter case and holds its own value.
void ManyNames() {
  constexpr int32_t kNames = 600;
  Ref q = Ref::Adopt(NewContainer());
  ObjectRecord* c = q.get();
  for (int32_t i = 0; i < kNames; ++i) PrefContainer_PutInteger(c, K("Key", i), i);
  int32_t right = 0;
  for (int32_t i = 0; i < kNames; ++i) right += PrefContainer_GetInteger(c, K("kEy", i)) == i;
  Trace("many ", PrefContainer_NumPrefs(c), " ", right);
}

}  // namespace

extern "C" void PrefsEntry() {
  RuntimeInit(vs_project_record);
  Ref file = Ref::Adopt(FolderChild(Ref::Adopt(getPreferencesFolder()).get(), &kFile));
  FolderItemDelete(file.get());
  Ref p = Ref::Adopt(NewContainer());
  WriteSettings(p.get());
  // The file's lines as written.
  Ref in = Ref::Adopt(FolderItemOpenTextFile(file.get()));
  while (in && !TextInputStreamEOF(in.get())) Trace("line ", String::Adopt(TextInputStreamReadLine(in.get())));
  in = Ref();
  ReadBack();
  ManyNames();
  FolderItemDelete(file.get());
  if (!fileExistsGetter(file.get())) Trace("file deleted");
}
