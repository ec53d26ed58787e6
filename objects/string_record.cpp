// StringRecord creation, reference counting, the forms of a string and the
// runtime's string handle. Records and buffers come from the small-block heap
// and go back to it with the sizes they were made with.
#include <cstring>

#include "objects/assertion.h"
#include "objects/process_globals.h"
#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

// Shared by every accessor that hands out a form of the empty string:
// a zero length byte followed by a terminating zero.
const uint8_t kEmptyBuffer[2] = {0, 0};

// Whether `s` is one of the application image's string constants. They lie
// in its data block with counts too high to reach 0; a damaged count that
// does must not hand the block's memory to the heap.
bool InImageData(const StringRecord* s) {
  return reinterpret_cast<uintptr_t>(s) - reinterpret_cast<uintptr_t>(gDataBase) < gDataLength;
}

}  // namespace

StringRecord* NewString(const void* bytes, int32_t length) {
  if (length < 1) return nullptr;
  auto* s = static_cast<StringRecord*>(SmallBlockAlloc(sizeof(StringRecord)));
  uint32_t size = static_cast<uint32_t>(length) + 2;
  s->refCount = 1;
  s->buffer = static_cast<uint8_t*>(SmallBlockAlloc(size));
  s->bufferSize = size;
  s->length = static_cast<uint32_t>(length);
  s->buffer[0] = static_cast<uint8_t>(length < 256 ? length : 255);
  if (bytes) memcpy(s->buffer + 1, bytes, static_cast<size_t>(length));
  s->buffer[length + 1] = 0;
  return s;
}

std::string_view StringView(const StringRecord* s) {
  if (!s) return {};
  return {reinterpret_cast<const char*>(s->buffer + 1), s->length};
}

const char* StringCText(const StringRecord* s) {
  return reinterpret_cast<const char*>(s ? s->buffer + 1 : kEmptyBuffer + 1);
}

void MakeStringPrivate(StringRecord*& s) {
  if (!s || s->refCount == 1) return;
  StringRecord* copy = NewString(s->buffer + 1, static_cast<int32_t>(s->length));
  RuntimeUnlockString(s);
  s = copy;
}

StringRef StringRef::Borrow(StringRecord* s) {
  RuntimeLockString(s);
  return StringRef(s);
}

StringRef::StringRef(const StringRef& other) : s_(other.s_) { RuntimeLockString(s_); }

StringRef& StringRef::operator=(const StringRef& other) {
  if (other.s_ == s_) return *this;
  RuntimeLockString(other.s_);
  RuntimeUnlockString(s_);
  s_ = other.s_;
  return *this;
}

StringRef& StringRef::operator=(StringRef&& other) noexcept {
  if (&other == this) return *this;
  RuntimeUnlockString(s_);
  s_ = other.s_;
  other.s_ = nullptr;
  return *this;
}

StringRef::~StringRef() { RuntimeUnlockString(s_); }

extern "C" {

void RuntimeLockString(StringRecord* s) {
  if (!s) return;
  if (!RuntimeCheck(s->refCount != 0, "locking a string whose count is 0")) return;
  ++s->refCount;
}

void RuntimeUnlockString(StringRecord* s) {
  if (!s) return;
  if (!RuntimeCheck(s->refCount != 0, "unlocking a string whose count is 0")) return;
  if (--s->refCount != 0 || InImageData(s)) return;
  SmallBlockFree(s->buffer, s->bufferSize);
  SmallBlockFree(s, sizeof(StringRecord));
}

void ZORBLockString(StringRecord* s) { RuntimeLockString(s); }
void ZORBUnlockString(StringRecord* s) { RuntimeUnlockString(s); }

StringRecord* ZORBBuildString(const char* bytes, int32_t length) {
  return NewString(bytes, length);
}

const char* StringGetCString(StringRecord* s) { return StringCText(s); }
const uint8_t* StringGetPString(StringRecord* s) { return s ? s->buffer : kEmptyBuffer; }
const char* StringToCString(StringRecord* s) { return StringGetCString(s); }
const uint8_t* StringToPString(StringRecord* s) { return StringGetPString(s); }

uint32_t StringToOSType(StringRecord* s) {
  if (!s) return ('?' << 24) | ('?' << 16) | ('?' << 8) | '?';
  uint32_t code = 0;
  for (uint32_t i = 0; i < 4; ++i)
    code = (code << 8) | (i < s->length ? s->buffer[1 + i] : 0);
  return code;
}

}  // extern "C"
