// The class table, built from the image's class descriptors (read by
// class_descriptor.cpp); see class_table.h.
#include "objects/class_table.h"

#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_descriptor.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/le_bytes.h"

namespace {

std::vector<ClassRecord*> gClassTable;

constexpr uint32_t kNoSuperclass = 0xFFFFFFFFu;
// No class of a real application comes near this; anything larger is damage,
// and sizes close to 4 GB would wrap when rounded to whole words.
constexpr uint32_t kMaxInstanceSize = 1u << 20;

struct PendingLink {
  int32_t index;
  uint32_t superclass;
};

CodeAddress Code(uint32_t address) { return reinterpret_cast<CodeAddress>(address); }

void AddMembers(ClassRecord* cls, const ClassDescriptor& d, int32_t self) {
  for (uint32_t index : d.interfaces)
    if (RuntimeCheck(index < uint32_t(self) && gClassTable[index], "interface index not earlier"))
      AddInterface(cls, gClassTable[index]);
  for (const DescribedMember& m : d.methods) AddMethod(cls, m.name, Code(m.code));
  for (const DescribedMember& m : d.handlers) AddEventHandler(cls, m.name, Code(m.code), m.key);
  for (const DescribedMember& m : d.menuHandlers) AddMenuHandler(cls, m.name, Code(m.code));
  cls->vtable = reinterpret_cast<CodeAddress*>(d.vtable);
  cls->vtableCount = d.vtableCount;
}

// A new class record for a kind-0 descriptor, entered in the table.
ClassRecord* DefineClass(const ClassDescriptor& d, int32_t self) {
  // Every object starts with the header; its fields come after.
  if (!RuntimeCheck(d.instanceSize >= sizeof(ObjectRecord) && d.instanceSize <= kMaxInstanceSize,
                    "a class's instance size is out of range"))
    return nullptr;
  ClassRecord* cls = NewClassRecord(d.name);
  cls->instanceSize = d.instanceSize;
  cls->constructor = Code(d.constructor);
  cls->destructor = Code(d.destructor);
  cls->isInterface = d.isInterface;
  gClassTable[self] = cls;
  AddMembers(cls, d, self);
  return cls;
}

void LinkSuperclass(const PendingLink& link) {
  ClassRecord* cls = gClassTable[link.index];
  if (!cls || link.superclass == kNoSuperclass) return;
  if (!RuntimeCheck(link.superclass < gClassTable.size() && gClassTable[link.superclass],
                    "superclass index out of range"))
    return;
  ClassRecord* super = gClassTable[link.superclass];
  // Links are made one at a time, so the chain above `super` ends; if it
  // reaches `cls`, this link would close a loop that every walk up the chain
  // would follow for ever.
  for (const ClassRecord* c = super; c; c = c->superclass)
    if (!RuntimeCheck(c != cls, "a class is its own superclass")) {
      gClassTable[link.index] = nullptr;
      return;
    }
  cls->superclass = super;
  // Its objects would be too small for the superclass's fields.
  if (!RuntimeCheck(cls->instanceSize >= super->instanceSize, "subclass smaller than its superclass"))
    gClassTable[link.index] = nullptr;
}

}  // namespace

ClassRecord* ClassAt(int32_t index) {
  if (!RuntimeCheck(index >= 0 && size_t(index) < gClassTable.size(), "class index out of range"))
    return nullptr;
  return gClassTable[index];
}

int32_t ClassCount() { return static_cast<int32_t>(gClassTable.size()); }

void SetClassTable(ClassRecord* const* classes, int32_t count) {
  gClassTable.assign(classes, classes + count);
}

bool LinkImageClasses(const uint32_t* classList, MemorySpan data, MemorySpan code) {
  auto listAddress = reinterpret_cast<uintptr_t>(classList);
  if (!data.Holds(listAddress, 4)) return false;
  auto word = [&](uint32_t i) { return ReadU32LE(reinterpret_cast<const uint8_t*>(classList + i)); };
  uint32_t count = word(0);
  if (!data.HoldsArray(listAddress + 4, count, 4))
    return false;
  gClassTable.assign(count, nullptr);
  std::vector<PendingLink> links;
  for (uint32_t i = 0; i < count; ++i) {
    ClassDescriptor d;
    if (!RuntimeCheck(ReadClassDescriptor(word(1 + i), data, code, d), "class descriptor unreadable"))
      continue;
    if (d.kind == 1) {
      gClassTable[i] = FindNamedClass(d.name);
      RuntimeCheck(gClassTable[i] != nullptr, "class named by the image not found");
      continue;
    }
    if (DefineClass(d, static_cast<int32_t>(i))) links.push_back({int32_t(i), d.superclass});
  }
  for (const PendingLink& link : links) LinkSuperclass(link);
  BuildInterfaceTables();
  return true;
}
