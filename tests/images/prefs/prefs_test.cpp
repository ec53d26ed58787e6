// The preference store against the file it writes: typed values put, the
// file's exact lines, and every value read back by a second container over
// defaults, as the application does at start-up.
#include "prefs_app_project.h"

#include "app/pref_container.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

VS_STRING(kFile, "Vellory Prefs Test");
VS_STRING(kNoteText, "a = b %41\r\nsecond line\t");

// A name or value for one call.
#define K(...) Line(__VA_ARGS__).get()

ObjectRecord* NewContainer() {
  ObjectRecord* p = RuntimeNewObject(vs_project::kClassPrefContainer);
  PrefContainer_Init(p, &kFile);
  return p;
}

void WriteSettings(ObjectRecord* p, ObjectRecord* when) {
  PrefContainer_PutInteger(p, K("Port"), 3);
  PrefContainer_PutInteger(p, K("Baud"), -12);
  PrefContainer_PutBoolean(p, K("XON"), true);
  PrefContainer_PutString(p, K("Note"), &kNoteText);
  PrefContainer_PutColor(p, K("Colour"), RuntimeRGB(109, 170, 244));
  PrefContainer_PutDate(p, K("When"), when);
  PrefContainer_PutDouble(p, K("Ratio"), 3.25);
  PrefContainer_PutFolderItem(p, K("Folder"), Ref::Adopt(getPreferencesFolder()).get());
  PrefContainer_PutInteger(p, K("port"), 1);         // replaces "Port", keeps its spelling
  PrefContainer_AppendValue(p, K("PORT"), K("12"));  // exists: nothing
  PrefContainer_AppendValue(p, K("Version"), K("1.1"));
  PrefContainer_Write(p);
}

void ReadBack(ObjectRecord* when) {
  Ref q = Ref::Adopt(NewContainer());
  ObjectRecord* c = q.get();
  PrefContainer_Put(c, K("Baud"), K("12"));  // a default the file replaces
  PrefContainer_Put(c, K("Version"), K("1.0"));
  PrefContainer_Read(c);
  Trace("count ", PrefContainer_NumPrefs(c));
  Trace(String::Adopt(PrefContainer_GetNthName(c, 0)), " ", String::Adopt(PrefContainer_GetNthName(c, 2)));
  Trace(PrefContainer_GetInteger(c, K("PORT")), " ", PrefContainer_GetInteger(c, K("Baud")), " ",
        PrefContainer_GetBoolean(c, K("XON")), " ", PrefContainer_GetColor(c, K("Colour")), " ",
        String::Adopt(StringStr(PrefContainer_GetDouble(c, K("Ratio")))), " ",
        String::Adopt(PrefContainer_GetString(c, K("Version"))));
  String note = String::Adopt(PrefContainer_GetString(c, K("Note")));
  Trace(StringStrCompare(note.get(), &kNoteText, 0) == 0 ? Line("note intact") : Line("note changed"));
  Ref date = Ref::Adopt(PrefContainer_GetDate(c, K("When")));
  Trace(dateTotalSecondsGetter(date.get()) == dateTotalSecondsGetter(when));
  String folder = String::Adopt(fileAbsolutePathGetter(Ref::Adopt(PrefContainer_GetFolderItem(c, K("Folder"))).get()));
  String prefs = String::Adopt(fileAbsolutePathGetter(Ref::Adopt(getPreferencesFolder()).get()));
  Trace(StringStrCompare(folder.get(), prefs.get(), 0) == 0 ? Line("folder intact") : Line("folder changed"));
  // Missing keys: "", 0, false, black; a missing date or folder is nil.
  Trace(" ", String::Adopt(PrefContainer_GetString(c, K("Missing"))), PrefContainer_GetInteger(c, K("Missing")),
        PrefContainer_GetBoolean(c, K("Missing")), PrefContainer_GetColor(c, K("Missing")),
        PrefContainer_GetDate(c, K("Missing")) == nullptr, PrefContainer_GetFolderItem(c, K("Missing")) == nullptr);
  PrefContainer_DeleteNth(c, 99);
  PrefContainer_Delete(c, K("Note"));
  Trace("count ", PrefContainer_NumPrefs(c), " ", PrefContainer_Exists(c, K("Note")));
  PrefContainer_Clear(c);
  Trace("count ", PrefContainer_NumPrefs(c));
}

// Many names, many times the index's first size, every third one deleted:
// each name left is found in any letter case and holds its own value.
void ManyNames() {
  constexpr int32_t kNames = 600;
  Ref q = Ref::Adopt(NewContainer());
  ObjectRecord* c = q.get();
  for (int32_t i = 0; i < kNames; ++i) PrefContainer_PutInteger(c, K("Key", i), i);
  for (int32_t i = 0; i < kNames; i += 3) PrefContainer_Delete(c, K("KEY", i));
  int32_t found = 0, right = 0;
  for (int32_t i = 0; i < kNames; ++i) {
    if (!PrefContainer_Exists(c, K("key", i))) continue;
    ++found;
    right += PrefContainer_GetInteger(c, K("kEy", i)) == i;
  }
  Trace("many ", PrefContainer_NumPrefs(c), " ", found, " ", right);
}

}  // namespace

extern "C" void PrefsEntry() {
  RuntimeInit(vs_project_record);
  Ref file = Ref::Adopt(FolderChild(Ref::Adopt(getPreferencesFolder()).get(), &kFile));
  FolderItemDelete(file.get());
  Ref when = Ref::Adopt(RuntimeNewObject(vs_project::kClassDate));
  const int32_t fields[] = {2026, 12, 6, 22, 5, 7};
  for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(when.get(), f, fields[f]);

  Ref p = Ref::Adopt(NewContainer());
  WriteSettings(p.get(), when.get());
  // The file's lines as written.
  Ref in = Ref::Adopt(FolderItemOpenTextFile(file.get()));
  while (in && !TextInputStreamEOF(in.get())) Trace("line ", String::Adopt(TextInputStreamReadLine(in.get())));
  in = Ref();
  ReadBack(when.get());
  ManyNames();
  FolderItemDelete(file.get());
  if (!fileExistsGetter(file.get())) Trace("file deleted");
}
