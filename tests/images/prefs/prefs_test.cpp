// The preference store against the file it writes: typed values put, the
// file's exact lines, and every value read back by a second container over
// defaults, as the application does at start-up.
#include "prefs_app_project.h"

#include "app/pref_container.h"

namespace {

using vs::Ref;
using vs::String;

VS_STRING(kFile, "Vellory Prefs Test");
VS_STRING(kPort, "Port");
VS_STRING(kPortUpper, "PORT");
VS_STRING(kPortLower, "port");
VS_STRING(kBaud, "Baud");
VS_STRING(kTwelve, "12");
VS_STRING(kXon, "XON");
VS_STRING(kNote, "Note");
VS_STRING(kNoteText, "a = b %41\r\nsecond line\t");
VS_STRING(kColour, "Colour");
VS_STRING(kWhen, "When");
VS_STRING(kRatio, "Ratio");
VS_STRING(kFolder, "Folder");
VS_STRING(kVersion, "Version");
VS_STRING(kVersionText, "1.1");
VS_STRING(kOther, "1.0");
VS_STRING(kMissing, "Missing");
VS_STRING(kLine, "line ");
VS_STRING(kCount, "count ");
VS_STRING(kSpace, " ");
VS_STRING(kIntact, "note intact");
VS_STRING(kChanged, "note changed");
VS_STRING(kFolderIntact, "folder intact");
VS_STRING(kFolderChanged, "folder changed");
VS_STRING(kGone, "file deleted");
VS_STRING(kBlank, " ");
VS_STRING(kCodeA, "%41");
VS_STRING(kPercent41, "%2541");

String S(StringRecord* s) { return String::Borrow(s); }
String N(int32_t n) { return String::Adopt(StringStr(n)); }
void Trace(const String& s) { lineTrace(s.get()); }

ObjectRecord* NewContainer() {
  ObjectRecord* p = RuntimeNewObject(vs_project::kClassPrefContainer);
  PrefContainer_Init(p, &kFile);
  return p;
}

ObjectRecord* FileItem() {
  Ref folder = Ref::Adopt(getPreferencesFolder());
  return FolderChild(folder.get(), &kFile);
}

void TraceFileLines() {
  Ref file = Ref::Adopt(FileItem());
  Ref in = Ref::Adopt(FolderItemOpenTextFile(file.get()));
  while (in && !TextInputStreamEOF(in.get())) Trace(S(&kLine) + String::Adopt(TextInputStreamReadLine(in.get())));
}

void WriteSettings(ObjectRecord* p, ObjectRecord* when) {
  PrefContainer_PutInteger(p, &kPort, 3);
  PrefContainer_PutInteger(p, &kBaud, -12);
  PrefContainer_PutBoolean(p, &kXon, true);
  PrefContainer_PutString(p, &kNote, &kNoteText);
  PrefContainer_PutColor(p, &kColour, RuntimeRGB(109, 170, 244));
  PrefContainer_PutDate(p, &kWhen, when);
  PrefContainer_PutDouble(p, &kRatio, 3.25);
  Ref prefs = Ref::Adopt(getPreferencesFolder());
  PrefContainer_PutFolderItem(p, &kFolder, prefs.get());
  PrefContainer_PutInteger(p, &kPortLower, 1);     // replaces "Port", keeps its spelling
  PrefContainer_AppendValue(p, &kPortUpper, &kTwelve);  // exists: nothing
  PrefContainer_AppendValue(p, &kVersion, &kVersionText);
  PrefContainer_Write(p);
}

void ReadBack(ObjectRecord* when) {
  Ref q = Ref::Adopt(NewContainer());
  PrefContainer_Put(q.get(), &kBaud, &kTwelve);  // a default the file replaces
  PrefContainer_Put(q.get(), &kVersion, &kOther);
  PrefContainer_Read(q.get());
  Trace(S(&kCount) + N(PrefContainer_NumPrefs(q.get())));
  Trace(String::Adopt(PrefContainer_GetNthName(q.get(), 0)) + S(&kSpace) +
        String::Adopt(PrefContainer_GetNthName(q.get(), 2)));
  Trace(N(PrefContainer_GetInteger(q.get(), &kPortUpper)) + S(&kSpace) +
        N(PrefContainer_GetInteger(q.get(), &kBaud)) + S(&kSpace) +
        N(PrefContainer_GetBoolean(q.get(), &kXon)) + S(&kSpace) +
        N(PrefContainer_GetColor(q.get(), &kColour)) + S(&kSpace) +
        String::Adopt(StringStr(PrefContainer_GetDouble(q.get(), &kRatio))) + S(&kSpace) +
        String::Adopt(PrefContainer_GetString(q.get(), &kVersion)));
  String note = String::Adopt(PrefContainer_GetString(q.get(), &kNote));
  Trace(S(StringStrCompare(note.get(), &kNoteText, 0) == 0 ? &kIntact : &kChanged));
  Ref date = Ref::Adopt(PrefContainer_GetDate(q.get(), &kWhen));
  Trace(N(dateTotalSecondsGetter(date.get()) == dateTotalSecondsGetter(when)));
  Ref folder = Ref::Adopt(PrefContainer_GetFolderItem(q.get(), &kFolder));
  Ref prefs = Ref::Adopt(getPreferencesFolder());
  String a = String::Adopt(fileAbsolutePathGetter(folder.get()));
  String b = String::Adopt(fileAbsolutePathGetter(prefs.get()));
  Trace(S(StringStrCompare(a.get(), b.get(), 0) == 0 ? &kFolderIntact : &kFolderChanged));
  // Missing keys: "", 0, false, black; a missing date or folder is nil.
  Trace(S(&kBlank) + String::Adopt(PrefContainer_GetString(q.get(), &kMissing)) +
        N(PrefContainer_GetInteger(q.get(), &kMissing)) + N(PrefContainer_GetBoolean(q.get(), &kMissing)) +
        N(PrefContainer_GetColor(q.get(), &kMissing)) +
        N(PrefContainer_GetDate(q.get(), &kMissing) == nullptr) +
        N(PrefContainer_GetFolderItem(q.get(), &kMissing) == nullptr));
  PrefContainer_DeleteNth(q.get(), 99);
  PrefContainer_Delete(q.get(), &kNote);
  Trace(S(&kCount) + N(PrefContainer_NumPrefs(q.get())) + S(&kSpace) +
        N(PrefContainer_Exists(q.get(), &kNote)));
  PrefContainer_Clear(q.get());
  Trace(S(&kCount) + N(PrefContainer_NumPrefs(q.get())));
}

}  // namespace

extern "C" void PrefsEntry() {
  RuntimeInit(vs_project_record);
  Ref file = Ref::Adopt(FileItem());
  FolderItemDelete(file.get());
  Ref when = Ref::Adopt(RuntimeNewObject(vs_project::kClassDate));
  const int32_t fields[] = {2026, 12, 6, 22, 5, 7};
  for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(when.get(), f, fields[f]);

  Ref p = Ref::Adopt(NewContainer());
  WriteSettings(p.get(), when.get());
  TraceFileLines();
  ReadBack(when.get());
  Trace(String::Adopt(PrefContainer_EncodedChar(p.get(), &kBlank)) + S(&kSpace) +
        String::Adopt(PrefContainer_DecodedChar(p.get(), &kCodeA)) + S(&kSpace) +
        String::Adopt(PrefContainer_DecodeString(p.get(), &kPercent41)));
  FolderItemDelete(file.get());
  if (!fileExistsGetter(file.get())) Trace(S(&kGone));
}
