// The class table and the reading of class descriptors; see class_table.h.
//
// A kind-0 descriptor: instanceSize, name, superclass index, hasInitializers
// [, constructor, destructor], then packed: isInterface, interfaces (count,
// indexes), methods (count, name/code pairs or names for an interface),
// event handlers (count, name/code/key), menu handlers (count, name/code),
// vtable (count, code addresses; used in place). A kind-1 descriptor names a
// class defined elsewhere.
#include "objects/class_table.h"

#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "plugins/plugin_registry.h"

namespace {

std::vector<ClassRecord*> gClassTable;

constexpr uint32_t kNoSuperclass = 0xFFFFFFFFu;
// No class of a real application comes near this; anything larger is damage,
// and sizes close to 4 GB would wrap when rounded to whole words.
constexpr uint32_t kMaxInstanceSize = 1u << 20;

// Reads a descriptor: data words and texts within the data block, code
// addresses within the code block.
class DescriptorReader : public SpanReader {
 public:
  DescriptorReader(uint32_t address, MemorySpan data, MemorySpan code)
      : SpanReader(address, data), code_(code) {}

  CodeAddress Code() {
    uint32_t address = Word();
    if (Ok() && address != 0 && !code_.Holds(address, 1)) Fail();
    return reinterpret_cast<CodeAddress>(address);
  }
  CodeAddress* Position() const { return reinterpret_cast<CodeAddress*>(Here()); }

 private:
  MemorySpan code_;
};

struct PendingLink {
  int32_t index;
  uint32_t superclass;
};

ClassRecord* ResolveNamed(std::string_view name) { return FindPluginAwareClass(name); }

void ReadInterfaces(DescriptorReader& r, ClassRecord* cls, int32_t self) {
  uint32_t n = r.Count(4);
  for (uint32_t i = 0; i < n && r.Ok(); ++i) {
    uint32_t index = r.Word();
    if (RuntimeCheck(index < uint32_t(self) && gClassTable[index], "interface index not earlier"))
      AddInterface(cls, gClassTable[index]);
  }
}

void ReadMembers(DescriptorReader& r, ClassRecord* cls) {
  uint32_t methods = r.Count(cls->isInterface ? 4 : 8);
  for (uint32_t i = 0; i < methods && r.Ok(); ++i) {
    std::string_view name = r.Text();
    CodeAddress code = cls->isInterface ? nullptr : r.Code();
    if (r.Ok()) AddMethod(cls, name, code);
  }
  uint32_t handlers = r.Count(12);
  for (uint32_t i = 0; i < handlers && r.Ok(); ++i) {
    std::string_view name = r.Text();
    CodeAddress code = r.Code();
    uint32_t key = r.Word();
    if (r.Ok()) AddEventHandler(cls, name, code, key);
  }
  uint32_t menuHandlers = r.Count(8);
  for (uint32_t i = 0; i < menuHandlers && r.Ok(); ++i) {
    std::string_view name = r.Text();
    CodeAddress code = r.Code();
    if (r.Ok()) AddMenuHandler(cls, name, code);
  }
  uint32_t vtableCount = r.Count(4);
  CodeAddress* vtable = r.Position();
  for (uint32_t i = 0; i < vtableCount && r.Ok(); ++i) r.Code();
  if (!r.Ok()) return;
  cls->vtable = vtable;
  cls->vtableCount = vtableCount;
}

// Reads one kind-0 descriptor into a new class record.
ClassRecord* ReadDefinedClass(DescriptorReader& r, int32_t self, uint32_t& superclass) {
  uint32_t instanceSize = r.Word();
  std::string_view name = r.Text();
  superclass = r.Word();
  uint32_t hasInitializers = r.Word();
  CodeAddress constructor = hasInitializers ? r.Code() : nullptr;
  CodeAddress destructor = hasInitializers ? r.Code() : nullptr;
  uint8_t isInterface = static_cast<uint8_t>(r.Word());
  if (!r.Ok()) return nullptr;
  // Every object starts with the header; its fields come after.
  if (!RuntimeCheck(instanceSize >= sizeof(ObjectRecord) && instanceSize <= kMaxInstanceSize,
                    "a class's instance size is out of range"))
    return nullptr;
  ClassRecord* cls = NewClassRecord(name);
  cls->instanceSize = instanceSize;
  cls->constructor = constructor;
  cls->destructor = destructor;
  cls->isInterface = isInterface;
  gClassTable[self] = cls;
  ReadInterfaces(r, cls, self);
  ReadMembers(r, cls);
  if (r.Ok()) return cls;
  gClassTable[self] = nullptr;
  DestroyClassRecord(cls);
  return nullptr;
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
  uint32_t count = classList[0];
  if (!data.HoldsArray(listAddress + 4, count, 4))
    return false;
  gClassTable.assign(count, nullptr);
  std::vector<PendingLink> links;
  for (uint32_t i = 0; i < count; ++i) {
    DescriptorReader r(classList[1 + i], data, code);
    uint32_t kind = r.Word();
    if (kind == 1) {
      gClassTable[i] = ResolveNamed(r.Text());
      RuntimeCheck(gClassTable[i] != nullptr, "class named by the image not found");
      continue;
    }
    uint32_t superclass = kNoSuperclass;
    bool read = kind == 0 && ReadDefinedClass(r, static_cast<int32_t>(i), superclass);
    if (RuntimeCheck(read, "class descriptor unreadable")) links.push_back({int32_t(i), superclass});
  }
  for (const PendingLink& link : links) LinkSuperclass(link);
  BuildInterfaceTables();
  return true;
}
