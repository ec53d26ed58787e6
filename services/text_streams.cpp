// Text files through the system's compatibility file calls: plain handles,
// unbuffered reads and writes at byte offsets. Input keeps its 1024-byte
// buffer inside the stream object, where the line reader works on it.
#include "services/text_streams.h"

#include <windows.h>

#include <cstddef>
#include <string>

#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/folder_items.h"
#include "services/line_reader.h"

namespace {

static_assert(sizeof(LineBuffer) == sizeof(TextInputStreamObject) - offsetof(TextInputStreamObject, buffer));

TextInputStreamObject* AsInput(ObjectRecord* o) { return reinterpret_cast<TextInputStreamObject*>(o); }
TextOutputStreamObject* AsOutput(ObjectRecord* o) {
  return reinterpret_cast<TextOutputStreamObject*>(o);
}
LineBuffer& BufferOf(TextInputStreamObject* s) { return *reinterpret_cast<LineBuffer*>(s->buffer); }

uint32_t ReadFromFile(void* file, uint8_t* into, uint32_t size) {
  auto handle = static_cast<HFILE>(reinterpret_cast<intptr_t>(file));
  UINT got = _lread(handle, into, size);
  return got == HFILE_ERROR ? 0 : got;
}
void* FileArg(int32_t file) { return reinterpret_cast<void*>(static_cast<intptr_t>(file)); }

ObjectRecord* NewInput(HFILE file) {
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("TextInputStream"));
  AsInput(object)->file = file;
  return object;
}

ObjectRecord* NewOutput(HFILE file) {
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("TextOutputStream"));
  AsOutput(object)->file = file;
  return object;
}

void Write(ObjectRecord* stream, std::string_view bytes) {
  TextOutputStreamObject* s = AsOutput(stream);
  if (!s || !s->file || bytes.empty()) return;
  _lwrite(s->file, bytes.data(), static_cast<UINT>(bytes.size()));
}

}  // namespace

void __cdecl TextInputStreamDestruct(ObjectRecord* stream, ClassRecord*) {
  TextInputStreamClose(stream);
}

void __cdecl TextOutputStreamDestruct(ObjectRecord* stream, ClassRecord*) {
  TextOutputStreamClose(stream);
  RuntimeUnlockString(AsOutput(stream)->delimiter);
  AsOutput(stream)->delimiter = nullptr;
}

extern "C" {

ObjectRecord* FolderItemOpenTextFile(ObjectRecord* item) {
  HFILE file = _lopen(PathOf(item).c_str(), OF_READ);
  return file == HFILE_ERROR ? nullptr : NewInput(file);
}

ObjectRecord* FolderItemCreateTextFile(ObjectRecord* item) {
  HFILE file = _lcreat(PathOf(item).c_str(), 0);
  return file == HFILE_ERROR ? nullptr : NewOutput(file);
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

void TextInputStreamClose(ObjectRecord* stream) {
  TextInputStreamObject* s = AsInput(stream);
  if (!s || !s->file) return;
  _lclose(s->file);
  s->file = 0;
}

void TextOutputStreamWrite(ObjectRecord* stream, StringRecord* text) { Write(stream, StringView(text)); }

void TextOutputStreamWriteLine(ObjectRecord* stream, StringRecord* text) {
  if (!stream) return;
  Write(stream, StringView(text));
  std::string_view delimiter = StringView(AsOutput(stream)->delimiter);
  Write(stream, delimiter.empty() ? std::string_view("\r\n") : delimiter);
}

void TextOutputStreamClose(ObjectRecord* stream) {
  TextOutputStreamObject* s = AsOutput(stream);
  if (!s || !s->file) return;
  _lclose(s->file);
  s->file = 0;
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
