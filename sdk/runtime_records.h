// Record layouts that compiled application code, plug-ins and the runtime all
// see. Field order and sizes are fixed: compiled code addresses these fields
// at constant offsets, so each layout is pinned by static_asserts.
#pragma once
#include <cstddef>
#include <cstdint>

// A reference-counted byte string. The buffer holds a length byte (255 when
// the length is 256 or more), the text, and a terminating zero, so buffer is
// the length-prefixed form and buffer + 1 the zero-terminated form. The null
// handle is the empty string.
struct StringRecord {
  uint32_t refCount;
  uint8_t* buffer;
  uint32_t bufferSize;  // length + 2 for strings the runtime makes
  uint32_t length;
};

struct ClassRecord;

// The header of every object; the class chain's fields follow it.
struct ObjectRecord {
  uint32_t refCount;
  ClassRecord* cls;
  ObjectRecord* prevLive;  // towards the newest object; null for the newest
  ObjectRecord* nextLive;  // towards the oldest object; null for the oldest
  uint32_t reserved1;
  uint32_t reserved2;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(StringRecord) == 16);
static_assert(offsetof(StringRecord, buffer) == 4);
static_assert(offsetof(StringRecord, bufferSize) == 8);
static_assert(offsetof(StringRecord, length) == 12);
static_assert(sizeof(ObjectRecord) == 24);
static_assert(offsetof(ObjectRecord, cls) == 4);
static_assert(offsetof(ObjectRecord, prevLive) == 8);
static_assert(offsetof(ObjectRecord, nextLive) == 12);
static_assert(offsetof(ObjectRecord, reserved1) == 16);
#endif
