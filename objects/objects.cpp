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
  ObjectRecord* value = FieldAt<ObjectRecord*>(object, offset);
  RuntimeLockObject(value);
  return value;
}

void objSetter(ObjectRecord* object, uint32_t offset, ObjectRecord* value) {
  StoreCounted<RuntimeLockObject, RuntimeUnlockObject>(FieldAt<ObjectRecord*>(object, offset), value);
}

StringRecord* stringGetter(ObjectRecord* object, uint32_t offset) {
  StringRecord* value = FieldAt<StringRecord*>(object, offset);
  RuntimeLockString(value);
  return value;
}

void stringSetter(ObjectRecord* object, uint32_t offset, StringRecord* value) {
  StoreCounted<RuntimeLockString, RuntimeUnlockString>(FieldAt<StringRecord*>(object, offset), value);
}

int32_t intFieldGetter(ObjectRecord* object, uint32_t offset) {
  return FieldAt<int32_t>(object, offset);
}
void intFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value) {
  FieldAt<int32_t>(object, offset) = value;
}
int32_t shortFieldGetter(ObjectRecord* object, uint32_t offset) {
  return FieldAt<int16_t>(object, offset);
}
void shortFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value) {
  FieldAt<int16_t>(object, offset) = static_cast<int16_t>(value);
}
int32_t byteFieldGetter(ObjectRecord* object, uint32_t offset) {
  return FieldAt<int8_t>(object, offset);
}
void byteFieldSetter(ObjectRecord* object, uint32_t offset, int32_t value) {
  FieldAt<int8_t>(object, offset) = static_cast<int8_t>(value);
}

}  // extern "C"
