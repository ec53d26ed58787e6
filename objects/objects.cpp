// Object lifecycle and the live-object list; see objects.h. Counts are plain
// increments: objects belong to the user-interface thread.
#include "objects/objects.h"

#include <windows.h>

#include <string>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "sdk/image_format.h"

namespace {

ObjectRecord* gNewestObject = nullptr;
int32_t gLiveObjects = 0;
ObjectRecord* gApplicationObject = nullptr;

uint32_t ObjectBytes(const ClassRecord* cls) { return (cls->instanceSize + 3) / 4 * 4; }

// The field of `object` at `offset`, or null when the object is nil or the
// field does not lie wholly inside it after the header. Offsets come from the
// image (compiled code, property tables), so a damaged one must not reach
// another object, or this one's count and class, which the runtime trusts.
template <typename T>
T* CheckedField(ObjectRecord* object, uint32_t offset) {
  if (!object || !object->cls || offset < sizeof(ObjectRecord)) return nullptr;
  if (uint64_t{offset} + sizeof(T) > ObjectBytes(object->cls)) return nullptr;
  return &FieldAt<T>(object, offset);
}

// Reads a plain field, 0 where there is none; writes it where there is one.
template <typename T>
int32_t ReadField(ObjectRecord* object, uint32_t offset) {
  const T* field = CheckedField<T>(object, offset);
  return field ? *field : 0;
}
template <typename T>
void WriteField(ObjectRecord* object, uint32_t offset, int32_t value) {
  if (T* field = CheckedField<T>(object, offset)) *field = static_cast<T>(value);
}

// Root class first. A loop, not recursion: an image's chains may be
// kMaxClassDepth deep, and built-in and plug-in chains are a few classes.
void RunConstructors(ObjectRecord* object) {
  ClassRecord* chain[image::kMaxClassDepth];
  uint32_t depth = 0;
  for (ClassRecord* c = object->cls; c && depth < image::kMaxClassDepth; c = c->superclass) chain[depth++] = c;
  while (depth > 0) {
    ClassRecord* c = chain[--depth];
    if (c->constructor) reinterpret_cast<ObjectHook>(c->constructor)(object, c);
  }
}

void RunDestructors(ObjectRecord* object) {
  for (ClassRecord* c = object->cls; c; c = c->superclass)
    if (c->destructor) reinterpret_cast<ObjectHook>(c->destructor)(object, c);
}

void Unlink(ObjectRecord* object) {
  if (object->prevLive)
    object->prevLive->nextLive = object->nextLive;
  else
    gNewestObject = object->nextLive;
  if (object->nextLive) object->nextLive->prevLive = object->prevLive;
  --gLiveObjects;
}

void Destroy(ObjectRecord* object) {
  RunDestructors(object);
  Unlink(object);
  SmallBlockFree(object, ObjectBytes(object->cls));
}

// Stores a counted reference: the new value is locked before the old one is
// released, so storing what the field already holds is safe.
template <auto Lock, auto Unlock, typename T>
void StoreCounted(T*& field, T* value) {
  Lock(value);
  T* old = field;
  field = value;
  Unlock(old);
}

// The name of the first class in the chain that has one.
std::string ReportedClassName(const ClassRecord* cls) {
  for (; cls; cls = cls->superclass)
    if (StringLength(cls->name)) return std::string(StringView(cls->name));
  return "<Unnamed object class>";
}

}  // namespace

ObjectRecord* NewObjectOfClass(ClassRecord* cls) {
  if (!RuntimeCheck(cls != nullptr, "creating an object of no class")) return nullptr;
  uint32_t bytes = ObjectBytes(cls);
  auto* object = static_cast<ObjectRecord*>(SmallBlockAlloc(bytes));
  memset(object, 0, bytes);
  object->refCount = 1;
  object->cls = cls;
  RunConstructors(object);
  object->nextLive = gNewestObject;
  if (gNewestObject) gNewestObject->prevLive = object;
  gNewestObject = object;
  ++gLiveObjects;
  return object;
}

ObjectRecord* FirstLiveObject() { return gNewestObject; }
int32_t LiveObjectCount() { return gLiveObjects; }

void SetApplicationObject(ObjectRecord* object) {
  RuntimeLockObject(object);
  RuntimeUnlockObject(gApplicationObject);
  gApplicationObject = object;
}

extern "C" {

ObjectRecord* RuntimeNewObject(int32_t classIndex) {
  ClassRecord* cls = ClassAt(classIndex);  // an index out of range is reported there
  return cls ? NewObjectOfClass(cls) : nullptr;
}

void RuntimeLockObject(ObjectRecord* object) {
  if (!object) return;
  if (!RuntimeCheck(object->refCount != 0, "locking an object whose count is 0")) return;
  ++object->refCount;
}

void RuntimeUnlockObject(ObjectRecord* object) {
  if (!object) return;
  if (!RuntimeCheck(object->refCount != 0, "unlocking an object whose count is 0")) return;
  if (--object->refCount == 0) Destroy(object);
}

void ZORBLockObject(ObjectRecord* object) { RuntimeLockObject(object); }
void ZORBUnlockObject(ObjectRecord* object) { RuntimeUnlockObject(object); }

ObjectRecord* getAppObject() {
  RuntimeLockObject(gApplicationObject);
  return gApplicationObject;
}

ObjectRecord* getSystemObject() { return NewObjectOfClass(FindBuiltInClass("SystemClass")); }
ObjectRecord* getKeyboardObject() { return NewObjectOfClass(FindBuiltInClass("Sys$Keyboard")); }

void debugDumpObjects(StringRecord* path) {
  HANDLE file = CreateFileA(StringCText(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string report = std::to_string(SmallBlockBytesInUse()) + " used in heap1\r\n" +
                       std::to_string(gLiveObjects) + " objects\r\n";
  for (ObjectRecord* o = gNewestObject; o; o = o->nextLive)
    report += ReportedClassName(o->cls) + "\r\n";
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
}

ObjectRecord* objGetter(ObjectRecord* object, uint32_t offset) {
  ObjectRecord** field = CheckedField<ObjectRecord*>(object, offset);
  if (!field) return nullptr;
  RuntimeLockObject(*field);
  return *field;
}

void objSetter(ObjectRecord* object, uint32_t offset, ObjectRecord* value) {
  if (ObjectRecord** field = CheckedField<ObjectRecord*>(object, offset))
    StoreCounted<RuntimeLockObject, RuntimeUnlockObject>(*field, value);
}

StringRecord* stringGetter(ObjectRecord* object, uint32_t offset) {
  StringRecord** field = CheckedField<StringRecord*>(object, offset);
  if (!field) return nullptr;
  RuntimeLockString(*field);
  return *field;
}

void stringSetter(ObjectRecord* object, uint32_t offset, StringRecord* value) {
  if (StringRecord** field = CheckedField<StringRecord*>(object, offset))
    StoreCounted<RuntimeLockString, RuntimeUnlockString>(*field, value);
}

int32_t intFieldGetter(ObjectRecord* object, uint32_t offset) { return ReadField<int32_t>(object, offset); }
void intFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value) {
  WriteField<int32_t>(object, offset, value);
}
int32_t shortFieldGetter(ObjectRecord* object, uint32_t offset) { return ReadField<int16_t>(object, offset); }
void shortFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value) {
  WriteField<int16_t>(object, offset, value);
}
int32_t byteFieldGetter(ObjectRecord* object, uint32_t offset) { return ReadField<int8_t>(object, offset); }
void byteFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value) {
  WriteField<int8_t>(object, offset, value);
}

}  // extern "C"
