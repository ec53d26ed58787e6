// Objects: creation with their class's constructor chain, reference counting,
// destruction with the destructor chain, and the live-object list that the
// diagnostic report walks.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"
#include <cstdint>

#include "sdk/class_records.h"

// A new object of `cls` with count 1, fields zero, constructors run root
// first, pushed on the front of the live list. Null class: assertion, null.
ObjectRecord* NewObjectOfClass(ClassRecord* cls);

// The newest live object (follow nextLive for older ones), and the count.
ObjectRecord* FirstLiveObject();
int32_t LiveObjectCount();

// Makes `object` the application object (the runtime keeps one reference).
void SetApplicationObject(ObjectRecord* object);

// A field of an object, `offset` bytes from its start.
template <typename T>
T& FieldAt(ObjectRecord* object, uint32_t offset) {
  return *reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(object) + offset);
}

extern "C" {

int32_t intFieldGetter(ObjectRecord* object, uint32_t offset);
void intFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value);
int32_t shortFieldGetter(ObjectRecord* object, uint32_t offset);
void shortFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value);
int32_t byteFieldGetter(ObjectRecord* object, uint32_t offset);
void byteFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value);
}
