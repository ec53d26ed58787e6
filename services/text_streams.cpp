// Text files through the system's compatibility file calls: plain handles,
// unbuffered reads and writes at byte offsets. Input keeps its 1024-byte
// buffer inside the stream object, where the line reader works on it; a read
// that fails part-way ends the stream there and marks it failed, so that a
// caller does not take the start of a file for the whole.
// A file created for writing is written beside its target and replaces it
// only when the stream is closed, so a full disk or a stop half-way never
// leaves a damaged file; writes and the close tell whether they succeeded.
#include "services/text_streams.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/file_replace.h"
#include "services/folder_items.h"
#include "services/line_reader.h"

namespace {

static_assert(sizeof(LineBuffer) == sizeof(TextInputStreamObject) - offsetof(TextInputStreamObject, buffer));
static_assert(offsetof(LineBuffer, failed) == offsetof(TextInputStreamObject, readFailed) -
                                                  offsetof(TextInputStreamObject, buffer));

// The object as an input, or an output, stream; null for nil and for any other object.
TextInputStreamObject* AsInput(ObjectRecord* o) { return As<TextInputStreamObject>(o); }
TextOutputStreamObject* AsOutput(ObjectRecord* o) { return As<TextOutputStreamObject>(o); }
LineBuffer& BufferOf(TextInputStreamObject* s) { return *reinterpret_cast<LineBuffer*>(s->buffer); }

// A failed read is told apart from the end of the file: taken for the end,
// it would hand out the start of a file as if it were all of it.
uint32_t ReadFromFile(void* file, uint8_t* into, uint32_t size) {
  auto handle = static_cast<HFILE>(reinterpret_cast<intptr_t>(file));
  UINT got = _lread(handle, into, size);
  if (got != static_cast<UINT>(HFILE_ERROR)) return got;
  NoteFileError(GetLastError());
  return kReadFailed;
}
void* FileArg(int32_t file) { return reinterpret_cast<void*>(static_cast<intptr_t>(file)); }

ObjectRecord* NewInput(HFILE file) {
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("TextInputStream"));
  reinterpret_cast<TextInputStreamObject*>(object)->file = file;
  return object;
}

ObjectRecord* NewOutput(HFILE file) {
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("TextOutputStream"));
  reinterpret_cast<TextOutputStreamObject*>(object)->file = file;
  return object;
}

// The replaces of the output streams created for writing, until they close.
// Streams opened for appending write in place and have none.
struct PendingReplace {
  ObjectRecord* stream;
  ReplacingFile file;
};
std::vector<PendingReplace>& Pending() {
  static std::vector<PendingReplace> pending;
  return pending;
}
ReplacingFile* ReplaceOf(ObjectRecord* stream) {
  for (PendingReplace& p : Pending())
    if (p.stream == stream) return &p.file;
  return nullptr;
}
void ForgetReplace(ObjectRecord* stream) {
  auto& pending = Pending();
  for (size_t i = 0; i < pending.size(); ++i)
    if (pending[i].stream == stream) {
      pending.erase(pending.begin() + static_cast<ptrdiff_t>(i));
      return;
    }
}

bool Write(ObjectRecord* stream, std::string_view bytes) {
  TextOutputStreamObject* s = AsOutput(stream);
  if (!s || !s->file) return false;
  if (ReplacingFile* r = ReplaceOf(stream)) return WriteReplacing(*r, bytes.data(), bytes.size());
  if (bytes.empty()) return true;
  UINT wrote = _lwrite(s->file, bytes.data(), static_cast<UINT>(bytes.size()));
  if (wrote == bytes.size()) return true;
  NoteFileError(wrote == static_cast<UINT>(HFILE_ERROR) ? GetLastError() : ERROR_DISK_FULL);
  return false;
}

}  // namespace

void __cdecl TextInputStreamDestruct(ObjectRecord* stream, ClassRecord*) {
  TextInputStreamClose(stream);
}

void __cdecl TextOutputStreamDestruct(ObjectRecord* stream, ClassRecord*) {
  TextOutputStreamClose(stream);
  // A replace that never reached its close gives up its new file.
  if (ReplacingFile* r = ReplaceOf(stream)) {
    AbandonReplacing(*r);
    ForgetReplace(stream);
  }
  auto* s = reinterpret_cast<TextOutputStreamObject*>(stream);
  RuntimeUnlockString(s->delimiter);
  s->delimiter = nullptr;
}

extern "C" {

ObjectRecord* FolderItemCreateTextFile(ObjectRecord* item) {
  ReplacingFile r;
  if (!BeginReplacing(PathOf(item), r)) return nullptr;
  ObjectRecord* stream = NewOutput(r.file);
  Pending().push_back({stream, r});
  return stream;
}

ObjectRecord* FolderItemOpenTextFile(ObjectRecord* item) {
  HFILE file = _lopen(PathOf(item).c_str(), OF_READ);
  if (file != HFILE_ERROR) return NewInput(file);
  NoteFileError(GetLastError());
  return nullptr;
}

// Backups, indexers and virus checkers open files for a moment without
// sharing them: such a failure is tried again rather than taken as final.
ObjectRecord* FolderItemOpenTextFileWaiting(ObjectRecord* item, int32_t ms) {
  constexpr DWORD kPauseMs = 50;
  DWORD start = GetTickCount();
  for (;;) {
    ObjectRecord* stream = FolderItemOpenTextFile(item);
    if (stream || !RuntimeFileBusy()) return stream;
    if (static_cast<int32_t>(GetTickCount() - start) >= ms) return nullptr;
    Sleep(kPauseMs);
  }
}

ObjectRecord* FolderItemAppendTextFile(ObjectRecord* item) {
  HFILE file = _lopen(PathOf(item).c_str(), OF_READWRITE);
  if (file == HFILE_ERROR) return FolderItemCreateTextFile(item);
  _llseek(file, 0, FILE_END);
  return NewOutput(file);
}

StringRecord* TextInputStreamReadLine(ObjectRecord* stream) {
  TextInputStreamObject* s = AsInput(stream);
  if (!s || !s->file) return nullptr;
  return NewString(ReadLine(BufferOf(s), ReadFromFile, FileArg(s->file)));
}

StringRecord* TextInputStreamReadAll(ObjectRecord* stream) {
  TextInputStreamObject* s = AsInput(stream);
  if (!s || !s->file) return nullptr;
  return NewString(ReadRest(BufferOf(s), ReadFromFile, FileArg(s->file)));
}

bool TextInputStreamEOF(ObjectRecord* stream) {
  TextInputStreamObject* s = AsInput(stream);
  if (!s || !s->file) return false;
  return AtEnd(BufferOf(s), ReadFromFile, FileArg(s->file));
}

bool TextInputStreamReadFailed(ObjectRecord* stream) {
  TextInputStreamObject* s = AsInput(stream);
  return s && BufferOf(s).failed;
}

void TextInputStreamClose(ObjectRecord* stream) {
  TextInputStreamObject* s = AsInput(stream);
  if (!s || !s->file) return;
  _lclose(s->file);
  s->file = 0;
}

bool TextOutputStreamWrite(ObjectRecord* stream, StringRecord* text) {
  return Write(stream, StringView(text));
}

bool TextOutputStreamWriteLine(ObjectRecord* stream, StringRecord* text) {
  TextOutputStreamObject* s = AsOutput(stream);
  if (!s) return false;
  std::string_view delimiter = StringView(s->delimiter);
  bool wrote = Write(stream, StringView(text));
  return Write(stream, delimiter.empty() ? std::string_view("\r\n") : delimiter) && wrote;
}

bool TextOutputStreamClose(ObjectRecord* stream) {
  TextOutputStreamObject* s = AsOutput(stream);
  if (!s || !s->file) return false;
  HFILE file = s->file;
  s->file = 0;
  ReplacingFile* r = ReplaceOf(stream);
  if (!r) {
    if (_lclose(file) != HFILE_ERROR) return true;
    NoteFileError(GetLastError());
    return false;
  }
  bool done = FinishReplacing(*r);
  ForgetReplace(stream);
  return done;
}

}  // extern "C"

const PropertyEntry kTextInputStreamProperties[] = {
    {"Behavior", "EOF", "Boolean", CodeOf(TextInputStreamEOF), nullptr, 0},
};
const uint32_t kTextInputStreamPropertyCount = 1;
const PropertyEntry kTextOutputStreamProperties[] = {
    {"Behavior", "Delimiter", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     static_cast<uint32_t>(offsetof(TextOutputStreamObject, delimiter))},
};
const uint32_t kTextOutputStreamPropertyCount = 1;
