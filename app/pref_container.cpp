// The settings store. Names keep the spelling they were first put with and
// are found without regard to letter case; values are always text, and the
// typed operations convert on the way in and out, so the file stays
// readable and a value of the wrong type reads as 0, false or "".
//
// Names are found through a hash index of their upper-cased forms (kept
// beside the names), so that reading a file of any size takes time in
// proportion to its lines: upper-casing and comparing every stored name for
// every line read made a large file take minutes at each start.
#include "app/pref_container.h"

#include VS_PROJECT_HEADER

#include "app/pref_codec.h"

namespace {

using vs::String;

VS_STRING(kEquals, " = ");
VS_STRING(kComma, ",");
VS_STRING(kPercent, "%");
VS_STRING(kZeros, "00");
VS_STRING(kOne, "1");
VS_STRING(kZero, "0");
VS_STRING(kIntegerMask, "###################;-###################;0");

namespace F = vs_project::PrefContainer;

StringRecord*& FileName(ObjectRecord* self) { return vs::Field<StringRecord*>(self, F::kPrefFileName); }
ArrayRecord*& Names(ObjectRecord* self) { return vs::Field<ArrayRecord*>(self, F::kNames); }
ArrayRecord*& Values(ObjectRecord* self) { return vs::Field<ArrayRecord*>(self, F::kValues); }
int32_t& Count(ObjectRecord* self) { return vs::Field<int32_t>(self, F::kCount); }
// The upper-cased names, parallel to Names.
ArrayRecord*& Keys(ObjectRecord* self) { return vs::Field<ArrayRecord*>(self, F::kKeys); }
// The hash index: a power-of-two number of slots, each 0 (free) or an
// entry's index plus one; a key's search starts at its hash and goes on
// slot by slot to the first free one.
ArrayRecord*& Slots(ObjectRecord* self) { return vs::Field<ArrayRecord*>(self, F::kSlots); }

ArrayRecord* NewList(int32_t size = 0) {
  ArrayRecord* list = RuntimeCreateArray();
  RuntimeArrayCreateAddIndex(list, 0, size - 1);
  return list;
}

bool InRange(ObjectRecord* self, int32_t index) { return index >= 0 && index < Count(self); }

String Borrowed(StringRecord* s) { return String::Borrow(s); }
String Number(int32_t n) { return String::Adopt(StringFormat(n, &kIntegerMask)); }
String Plain(double x) { return String::Adopt(StringStr(x)); }
String Upper(StringRecord* s) { return String::Adopt(StringUCase(s)); }
String Field(StringRecord* list, int32_t n) { return String::Adopt(StringNthField(list, &kComma, n)); }
int32_t IntegerOf(StringRecord* s) { return FPToInt(StringVal(s)); }

uint32_t HashOf(StringRecord* key) {
  const char* bytes = StringGetCString(key);
  uint32_t hash = 2166136261u;  // FNV-1a
  for (int32_t i = 0, n = StringLen(key); i < n; ++i) {
    hash ^= static_cast<uint8_t>(bytes[i]);
    hash *= 16777619u;
  }
  return hash;
}

uint32_t SlotMask(ObjectRecord* self) { return static_cast<uint32_t>(RuntimeUBound(Slots(self))); }

// The index of the entry whose upper-cased name is `key`, or -1.
int32_t Lookup(ObjectRecord* self, StringRecord* key) {
  uint32_t mask = SlotMask(self);
  for (uint32_t slot = HashOf(key) & mask;; slot = (slot + 1) & mask) {
    int32_t entry = RuntimeDirectReadIntArray(Slots(self), static_cast<int32_t>(slot)) - 1;
    if (entry < 0) return -1;
    String stored = String::Adopt(RuntimeDirectReadStringArray(Keys(self), entry));
    if (StringStrCompare(stored.get(), key, 0) == 0) return entry;
  }
}

void Place(ObjectRecord* self, StringRecord* key, int32_t entry) {
  uint32_t mask = SlotMask(self);
  uint32_t slot = HashOf(key) & mask;
  while (RuntimeDirectReadIntArray(Slots(self), static_cast<int32_t>(slot)) != 0) slot = (slot + 1) & mask;
  RuntimeDirectWriteIntArray(Slots(self), static_cast<int32_t>(slot), entry + 1);
}

// Makes the index anew, with at most half of its slots taken.
void Reindex(ObjectRecord* self) {
  int32_t size = 16;
  while (size < 2 * (Count(self) + 1)) size *= 2;
  RuntimeDisposeIntArray(Slots(self));
  Slots(self) = NewList(size);
  RuntimeDirectWriteIntArray(Slots(self), size - 1, 0);  // all of its storage at once
  for (int32_t i = 0; i < Count(self); ++i)
    Place(self, String::Adopt(RuntimeDirectReadStringArray(Keys(self), i)).get(), i);
}

// Empty lists and an empty index.
void MakeEmpty(ObjectRecord* self) {
  RuntimeDisposeStringArray(Names(self));
  RuntimeDisposeStringArray(Values(self));
  RuntimeDisposeStringArray(Keys(self));
  Names(self) = NewList();
  Values(self) = NewList();
  Keys(self) = NewList();
  Count(self) = 0;
  Reindex(self);
}

String Joined(const String* parts, int count) {
  String joined = parts[0];
  for (int i = 1; i < count; ++i) joined = joined + Borrowed(&kComma) + parts[i];
  return joined;
}

// Runs `code` over `text` in pieces of `piece` bytes with a buffer of
// `room` bytes for each piece's result, joining the results. A piece never
// ends inside an escape: `keep` bytes that may begin one are carried over.
template <size_t kRoom>
String Transformed(StringRecord* text, size_t piece, size_t keep,
                   size_t (*code)(const char*, size_t, char*)) {
  const char* bytes = StringGetCString(text);
  size_t length = static_cast<size_t>(StringLen(text));
  String result;
  char out[kRoom];
  size_t at = 0;
  while (at < length) {
    size_t n = length - at < piece ? length - at : piece;
    // Do not cut "%XX" apart: end the piece before a "%" in its last bytes.
    if (at + n < length)
      for (size_t back = 1; back <= keep && back <= n; ++back)
        if (bytes[at + n - back] == '%') {
          n -= back;
          break;
        }
    size_t made = code(bytes + at, n, out);
    result = result + String::Adopt(ZORBBuildString(out, static_cast<int32_t>(made)));
    at += n;
  }
  return result;
}

}  // namespace

extern "C" {

void __cdecl PrefContainer_Construct(ObjectRecord* self) { MakeEmpty(self); }

void __cdecl PrefContainer_Destruct(ObjectRecord* self) {
  RuntimeDisposeStringArray(Names(self));
  RuntimeDisposeStringArray(Values(self));
  RuntimeDisposeStringArray(Keys(self));
  RuntimeDisposeIntArray(Slots(self));
  Names(self) = Values(self) = Keys(self) = Slots(self) = nullptr;
  RuntimeUnlockString(FileName(self));
  FileName(self) = nullptr;
}

void PrefContainer_Init(ObjectRecord* self, StringRecord* fileName) {
  PrefContainer_SetPrefFileName(self, fileName);
  PrefContainer_Clear(self);
}

void PrefContainer_SetPrefFileName(ObjectRecord* self, StringRecord* name) {
  RuntimeLockString(name);
  RuntimeUnlockString(FileName(self));
  FileName(self) = name;
}

StringRecord* PrefContainer_GetPrefFileName(ObjectRecord* self) {
  RuntimeLockString(FileName(self));
  return FileName(self);
}

ObjectRecord* PrefContainer_PrefLocation(ObjectRecord*) { return getPreferencesFolder(); }

}  // extern "C"

namespace {

// The preference file: PrefFileName in the preferences folder.
vs::Ref PrefFile(ObjectRecord* self) {
  vs::Ref folder = vs::Ref::Adopt(PrefContainer_PrefLocation(self));
  return vs::Ref::Adopt(FolderChild(folder.get(), FileName(self)));
}

// Writes `text` escaped, a piece at a time, so that a long value (the
// Writing Window's whole text) never has to be built as one escaped string.
bool WriteEscaped(ObjectRecord* stream, StringRecord* text) {
  constexpr size_t kPiece = 1024;
  const char* bytes = StringGetCString(text);
  size_t length = static_cast<size_t>(StringLen(text));
  char out[kPiece * 3];
  for (size_t at = 0; at < length; at += kPiece) {
    size_t n = length - at < kPiece ? length - at : kPiece;
    size_t made = PrefEscape(bytes + at, n, out);
    String piece = String::Adopt(ZORBBuildString(out, static_cast<int32_t>(made)));
    if (!TextOutputStreamWrite(stream, piece.get())) return false;
  }
  return true;
}

// Writes the file line of entry `index`: the same bytes as its
// EncodePreference text and the stream's line end.
bool WriteEntry(ObjectRecord* self, ObjectRecord* stream, int32_t index) {
  String name = String::Adopt(PrefContainer_GetNthName(self, index));
  String value = String::Adopt(PrefContainer_GetNthValue(self, index));
  return WriteEscaped(stream, name.get()) && TextOutputStreamWrite(stream, &kEquals) &&
         WriteEscaped(stream, value.get()) && TextOutputStreamWriteLine(stream, nullptr);
}

}  // namespace

extern "C" {

bool PrefContainer_Read(ObjectRecord* self) {
  constexpr int32_t kBusyWaitMs = 2000;
  if (!StringLen(FileName(self))) return true;
  vs::Ref file = PrefFile(self);
  vs::Ref stream = vs::Ref::Adopt(FolderItemOpenTextFileWaiting(file.get(), kBusyWaitMs));
  // No file is a first start; a file that is there but cannot be opened is
  // the caller's to deal with, never to be taken for an empty one.
  if (!stream) return !fileExistsGetter(file.get());
  while (!TextInputStreamEOF(stream.get())) {
    String line = String::Adopt(TextInputStreamReadLine(stream.get()));
    PrefContainer_DecodePreference(self, line.get());
    RuntimeBackgroundTask();
  }
  // A read error ends the lines early: what came before is not the file.
  bool whole = !TextInputStreamReadFailed(stream.get());
  TextInputStreamClose(stream.get());
  return whole;
}

bool PrefContainer_Write(ObjectRecord* self) {
  if (!StringLen(FileName(self))) return true;
  vs::Ref file = PrefFile(self);
  // The runtime writes a new file beside the old one and puts it in place
  // only when it is complete, so the old one stays whole until then.
  vs::Ref stream = vs::Ref::Adopt(FolderItemCreateTextFile(file.get()));
  if (!stream) return false;
  bool written = true;
  for (int32_t i = 0; written && i < Count(self); ++i) {
    written = WriteEntry(self, stream.get(), i);
    RuntimeBackgroundTask();
  }
  if (written) return TextOutputStreamClose(stream.get());
  // A failed write has already given up the new file; closing only tidies.
  TextOutputStreamClose(stream.get());
  return false;
}

int32_t PrefContainer_FindPrefIndex(ObjectRecord* self, StringRecord* name) {
  return Lookup(self, Upper(name).get());
}

bool PrefContainer_Exists(ObjectRecord* self, StringRecord* name) {
  return PrefContainer_FindPrefIndex(self, name) >= 0;
}

StringRecord* PrefContainer_Get(ObjectRecord* self, StringRecord* name) {
  int32_t i = PrefContainer_FindPrefIndex(self, name);
  return i < 0 ? nullptr : RuntimeDirectReadStringArray(Values(self), i);
}

void PrefContainer_Put(ObjectRecord* self, StringRecord* name, StringRecord* value) {
  String key = Upper(name);
  int32_t i = Lookup(self, key.get());
  if (i >= 0) {
    RuntimeDirectWriteStringArray(Values(self), i, value);
    return;
  }
  RuntimeStringArrayAppend(Names(self), name);
  RuntimeStringArrayAppend(Values(self), value);
  RuntimeStringArrayAppend(Keys(self), key.get());
  if (2 * ++Count(self) < RuntimeUBound(Slots(self)) + 1)
    Place(self, key.get(), Count(self) - 1);
  else
    Reindex(self);
}

void PrefContainer_AppendValue(ObjectRecord* self, StringRecord* name, StringRecord* value) {
  if (PrefContainer_Exists(self, name)) return;
  PrefContainer_Put(self, name, value);
}

void PrefContainer_DeleteNth(ObjectRecord* self, int32_t index) {
  if (!InRange(self, index)) return;
  RuntimeStringArrayRemove(Names(self), index);
  RuntimeStringArrayRemove(Values(self), index);
  RuntimeStringArrayRemove(Keys(self), index);
  --Count(self);
  Reindex(self);
}

void PrefContainer_Delete(ObjectRecord* self, StringRecord* name) {
  PrefContainer_DeleteNth(self, PrefContainer_FindPrefIndex(self, name));
}

// Every entry goes at once: deleting them one by one would index the rest
// again each time.
void PrefContainer_Clear(ObjectRecord* self) { MakeEmpty(self); }

int32_t PrefContainer_NumPrefs(ObjectRecord* self) { return Count(self); }

StringRecord* PrefContainer_GetNthName(ObjectRecord* self, int32_t index) {
  return InRange(self, index) ? RuntimeDirectReadStringArray(Names(self), index) : nullptr;
}

StringRecord* PrefContainer_GetNthValue(ObjectRecord* self, int32_t index) {
  return InRange(self, index) ? RuntimeDirectReadStringArray(Values(self), index) : nullptr;
}

void PrefContainer_SetNthValue(ObjectRecord* self, int32_t index, StringRecord* value) {
  if (InRange(self, index)) RuntimeDirectWriteStringArray(Values(self), index, value);
}

// --- typed values ------------------------------------------------------------------

void PrefContainer_PutInteger(ObjectRecord* self, StringRecord* name, int32_t value) {
  PrefContainer_Put(self, name, Number(value).get());
}

void PrefContainer_PutBoolean(ObjectRecord* self, StringRecord* name, bool value) {
  PrefContainer_Put(self, name, value ? &kOne : &kZero);
}

void PrefContainer_PutDouble(ObjectRecord* self, StringRecord* name, double value) {
  PrefContainer_Put(self, name, Plain(value).get());
}

void PrefContainer_PutString(ObjectRecord* self, StringRecord* name, StringRecord* value) {
  PrefContainer_Put(self, name, value);
}

void PrefContainer_PutColor(ObjectRecord* self, StringRecord* name, int32_t color) {
  String parts[] = {Number(readColorRed(color)), Number(readColorGreen(color)),
                    Number(readColorBlue(color))};
  PrefContainer_Put(self, name, Joined(parts, 3).get());
}

void PrefContainer_PutDate(ObjectRecord* self, StringRecord* name, ObjectRecord* date) {
  if (!date) return;
  String parts[6];
  for (uint32_t f = 0; f < 6; ++f) parts[f] = Number(dateFieldGetter(date, f));
  PrefContainer_Put(self, name, Joined(parts, 6).get());
}

void PrefContainer_PutFolderItem(ObjectRecord* self, StringRecord* name, ObjectRecord* item) {
  if (!item) return;
  PrefContainer_Put(self, name, String::Adopt(fileAbsolutePathGetter(item)).get());
}

int32_t PrefContainer_GetInteger(ObjectRecord* self, StringRecord* name) {
  return IntegerOf(String::Adopt(PrefContainer_Get(self, name)).get());
}

bool PrefContainer_GetBoolean(ObjectRecord* self, StringRecord* name) {
  return StringVal(String::Adopt(PrefContainer_Get(self, name)).get()) != 0;
}

double PrefContainer_GetDouble(ObjectRecord* self, StringRecord* name) {
  return StringVal(String::Adopt(PrefContainer_Get(self, name)).get());
}

StringRecord* PrefContainer_GetString(ObjectRecord* self, StringRecord* name) {
  return PrefContainer_Get(self, name);
}

int32_t PrefContainer_GetColor(ObjectRecord* self, StringRecord* name) {
  String text = String::Adopt(PrefContainer_Get(self, name));
  return RuntimeRGB(IntegerOf(Field(text.get(), 1).get()), IntegerOf(Field(text.get(), 2).get()),
                    IntegerOf(Field(text.get(), 3).get()));
}

ObjectRecord* PrefContainer_GetDate(ObjectRecord* self, StringRecord* name) {
  String text = String::Adopt(PrefContainer_Get(self, name));
  if (!text.Length()) return nullptr;
  ObjectRecord* date = RuntimeNewObject(vs_project::kClassDate);
  for (uint32_t f = 0; f < 6; ++f)
    dateFieldSetter(date, f, IntegerOf(Field(text.get(), static_cast<int32_t>(f) + 1).get()));
  // Normalised through its total seconds, as a date read from text must be.
  dateTotalSecondsSetter(date, 0, dateTotalSecondsGetter(date));
  return date;
}

ObjectRecord* PrefContainer_GetFolderItem(ObjectRecord* self, StringRecord* name) {
  String path = String::Adopt(PrefContainer_Get(self, name));
  return path.Length() ? RuntimeGetFolderItem(path.get()) : nullptr;
}

// --- the file format ---------------------------------------------------------------

StringRecord* PrefContainer_EncodeString(ObjectRecord*, StringRecord* text) {
  constexpr size_t kPiece = 256;
  String encoded = Transformed<kPiece * 3>(text, kPiece, 0, PrefEscape);
  RuntimeLockString(encoded.get());
  return encoded.get();
}

StringRecord* PrefContainer_DecodeString(ObjectRecord*, StringRecord* text) {
  // Unescaping never makes a piece longer; large pieces keep a long value
  // (a big Writing Window) from being joined from thousands of small ones.
  String decoded = Transformed<3072>(text, 3072, 2, PrefUnescape);
  RuntimeLockString(decoded.get());
  return decoded.get();
}

StringRecord* PrefContainer_EncodedChar(ObjectRecord*, StringRecord* character) {
  String hex = String::Adopt(RuntimeHex(StringAsc(character)));
  String padded = Borrowed(&kZeros) + hex;
  String code = Borrowed(&kPercent) + String::Adopt(StringRight(padded.get(), 2));
  RuntimeLockString(code.get());
  return code.get();
}

StringRecord* PrefContainer_DecodedChar(ObjectRecord* self, StringRecord* code) {
  String three = String::Adopt(StringLeft(code, 3));
  return PrefContainer_DecodeString(self, three.get());
}

StringRecord* PrefContainer_EncodePreference(ObjectRecord* self, int32_t index) {
  String name = String::Adopt(PrefContainer_GetNthName(self, index));
  String value = String::Adopt(PrefContainer_GetNthValue(self, index));
  String line = String::Adopt(PrefContainer_EncodeString(self, name.get())) + Borrowed(&kEquals) +
                String::Adopt(PrefContainer_EncodeString(self, value.get()));
  RuntimeLockString(line.get());
  return line.get();
}

void PrefContainer_DecodePreference(ObjectRecord* self, StringRecord* line) {
  PrefSpan name{}, value{};
  if (!PrefSplitLine(StringGetCString(line), static_cast<size_t>(StringLen(line)), &name, &value))
    return;
  String rawName = String::Adopt(ZORBBuildString(name.bytes, static_cast<int32_t>(name.length)));
  String rawValue = String::Adopt(ZORBBuildString(value.bytes, static_cast<int32_t>(value.length)));
  String decodedName = String::Adopt(PrefContainer_DecodeString(self, rawName.get()));
  String decodedValue = String::Adopt(PrefContainer_DecodeString(self, rawValue.get()));
  PrefContainer_Put(self, decodedName.get(), decodedValue.get());
}

}  // extern "C"
