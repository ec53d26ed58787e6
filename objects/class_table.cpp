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
#include "sdk/image_format.h"
#include "sdk/le_bytes.h"

namespace {

std::vector<ClassRecord*> gClassTable;

constexpr uint32_t kNoSuperclass = 0xFFFFFFFFu;
static_assert(sizeof(ObjectRecord) == kObjectHeaderBytes);

struct PendingLink {
  int32_t index;
  uint32_t superclass;
};

CodeAddress Code(uint32_t address) { return reinterpret_cast<CodeAddress>(address); }

void AddMembers(ClassRecord* cls, const ClassDescriptor& d, int32_t self) {
  InterfaceRecord* lastInterface = nullptr;
  for (uint32_t index : d.interfaces)
    if (RuntimeCheck(index < uint32_t(self) && gClassTable[index], "interface index not earlier"))
      lastInterface = AddInterface(cls, gClassTable[index], lastInterface);
  MethodRecord* lastMethod = nullptr;
  for (const DescribedMember& m : d.methods) lastMethod = AddMethod(cls, m.name, Code(m.code), lastMethod);
  for (const DescribedMember& m : d.handlers) AddEventHandler(cls, m.name, Code(m.code), m.key);
  for (const DescribedMember& m : d.menuHandlers) AddMenuHandler(cls, m.name, Code(m.code));
  cls->vtable = reinterpret_cast<CodeAddress*>(d.vtable);
  cls->vtableCount = d.vtableCount;
}

// A new class record for a kind-0 descriptor, entered in the table.
ClassRecord* DefineClass(const ClassDescriptor& d, int32_t self) {
  if (!RuntimeCheck(InstanceSizeFits(d.instanceSize), "a class's instance size is out of range"))
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

// The number of classes from `cls` up to its root, itself included, counted
// no further than one past kMaxClassDepth.
uint32_t ChainDepth(const ClassRecord* cls) {
  uint32_t depth = 0;
  for (; cls && depth <= image::kMaxClassDepth; cls = cls->superclass) ++depth;
  return depth;
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
  // would follow for ever. The walk stops at the depth limit, so that
  // linking a long chain class by class is not quadratic.
  uint32_t steps = 0;
  for (const ClassRecord* c = super; c; c = c->superclass, ++steps) {
    bool fine = RuntimeCheck(c != cls, "a class is its own superclass") &&
                RuntimeCheck(steps < image::kMaxClassDepth, "a class's superclass chain is too long");
    if (!fine) {
      gClassTable[link.index] = nullptr;
      return;
    }
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
  // A chain linked from its far end grew past the limit after its lower
  // links were checked.
  for (ClassRecord*& cls : gClassTable)
    if (cls && !RuntimeCheck(ChainDepth(cls) <= image::kMaxClassDepth, "a class's superclass chain is too long"))
      cls = nullptr;
  BuildInterfaceTables();
  return true;
}
