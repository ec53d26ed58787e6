// Control, class and method registration; see plugin_registration.h. The
// class records made here are marked built-in: their method tables belong to
// the runtime, not to the image.
#include "plugins/plugin_registration.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/strings.h"
#include "objects/tagged_alloc.h"
#include "plugins/declaration_parser.h"
#include "plugins/plugin_accessors.h"
#include "plugins/plugin_pane.h"
#include "plugins/plugin_registry.h"
#include "ui/controls.h"

namespace {

using InstanceRoutine = void(__cdecl*)(ObjectRecord*);
using DestroyRoutine = void(__cdecl*)(ObjectRecord*, int32_t);

const PluginControlDefinition* DefinitionOf(const ClassRecord* cls) {
  const PluginControl* c = PluginControlOf(cls);
  return c ? c->definition : nullptr;
}

void* BehaviourSlot(const ClassRecord* cls, int slot) {
  const PluginControlDefinition* d = DefinitionOf(cls);
  return d && d->behaviour ? d->behaviour->slot[slot] : nullptr;
}

void __cdecl ConstructControl(ObjectRecord* object, ClassRecord* cls) {
  if (auto run = reinterpret_cast<InstanceRoutine>(BehaviourSlot(cls, kPluginSlotConstruct)))
    run(object);
}

// The pane goes first, so that the plug-in sees its pane close (slot 10)
// before its data is torn down (slot 1), whichever way the control ends.
void __cdecl DestroyControl(ObjectRecord* object, ClassRecord* cls) {
  CloseControlPane(reinterpret_cast<RectControlObject*>(object));
  if (auto run = reinterpret_cast<DestroyRoutine>(BehaviourSlot(cls, kPluginSlotDestroy)))
    run(object, 0);
}

// A copy that lives as long as the class: method entries point at it.
const char* Keep(std::string_view text) { return (new std::string(text))->c_str(); }

ParameterEntry* ParameterTable(const Declaration& d) {
  if (d.params.empty()) return nullptr;
  auto* table = static_cast<ParameterEntry*>(TaggedAlloc(sizeof(ParameterEntry) * d.params.size()));
  for (size_t i = 0; i < d.params.size(); ++i) {
    table[i] = ParameterEntry{};
    table[i].name = Keep(d.params[i].name);
    table[i].type = Keep(d.params[i].type);
  }
  return table;
}

void AddEvents(ClassRecord* cls, PluginEventDefinition* defs, uint32_t count) {
  for (uint32_t i = 0; defs && i < count; ++i) {
    std::optional<Declaration> d = ParseDeclaration(defs[i].declaration ? defs[i].declaration : "");
    if (!d) continue;
    defs[i].declarationRecord = DeclareEvent(cls, d->name, d->paramText, d->returnType);
  }
}

bool Implements(const ClassRecord* cls, const ClassRecord* iface) {
  for (const InterfaceRecord* r = cls->interfaces; r; r = r->next)
    if (r->iface == iface) return true;
  return false;
}

void AddInterfaceNamed(ClassRecord* cls, std::string_view name) {
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (name.empty()) return;
  ClassRecord* iface = FindPluginAwareClass(name);
  if (iface && iface->isInterface && !Implements(cls, iface)) AddInterface(cls, iface);
}

void AddInterfaces(ClassRecord* cls, const PluginControlDefinition& d) {
  for (uint32_t i = 0; d.interfaces && i < d.interfaceCount; ++i)
    if (d.interfaces[i].name) AddInterfaceNamed(cls, d.interfaces[i].name);
  std::string_view list = d.interfaceNames ? d.interfaceNames : "";
  while (!list.empty()) {
    size_t comma = list.find(',');
    AddInterfaceNamed(cls, list.substr(0, comma));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
}

constexpr uint32_t kMaxExports = 4096;

// Whether the byte at `at` can be read and lies in the allocation that
// starts at `allocationBase`.
bool Readable(const void* at, const void* allocationBase) {
  MEMORY_BASIC_INFORMATION m{};
  if (!VirtualQuery(at, &m, sizeof m)) return false;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return m.AllocationBase == allocationBase && m.State == MEM_COMMIT && (m.Protect & kReadable) &&
         !(m.Protect & PAGE_GUARD);
}

}  // namespace

const PluginExportEntry* ExportEntry(const PluginExportEntry* table, uint32_t index) {
  if (!table || index >= kMaxExports) return nullptr;
  MEMORY_BASIC_INFORMATION t{};
  if (!VirtualQuery(table, &t, sizeof t)) return nullptr;
  const PluginExportEntry* entry = table + index;
  const auto* last = reinterpret_cast<const uint8_t*>(entry + 1) - 1;
  if (!Readable(entry, t.AllocationBase) || !Readable(last, t.AllocationBase)) return nullptr;
  return entry;
}

void AddPluginProperties(ClassRecord* cls, const PluginPropertyDefinition* defs, uint32_t count,
                         uint32_t dataOffset, bool redraw) {
  for (uint32_t i = 0; defs && i < count; ++i) {
    const PluginPropertyDefinition& d = defs[i];
    FieldKind kind = FieldKindOf(d.type);
    if (kind == FieldKind::kUnknown || !d.name) continue;
    // A default accessor reads and writes the field it is given: it must lie
    // within the instance's plug-in data.
    bool anyDefault = d.getter == ZORB_DEFAULT_ACCESSOR || d.setter == ZORB_DEFAULT_ACCESSOR;
    uint64_t fieldEnd = uint64_t{dataOffset} + d.param + (kind == FieldKind::kBoolean ? 1 : 4);
    if (anyDefault && !RuntimeCheck(fieldEnd <= cls->instanceSize, "plug-in field outside its data"))
      continue;
    ResolvedAccessors a =
        AccessorsFor(d, kind, dataOffset, redraw || (d.flags & kPluginPropertyRedraws));
    AddProperty(cls, PropertyEntry{d.group, d.name, d.type, a.getter, a.setter, a.param});
  }
}

void AddPluginMethods(ClassRecord* cls, const PluginMethodDefinition* defs, uint32_t count) {
  for (uint32_t i = 0; defs && i < count; ++i) {
    std::optional<Declaration> d = ParseDeclaration(defs[i].declaration ? defs[i].declaration : "");
    if (!d) continue;
    MethodRecord* m = AddMethod(cls, d->name, defs[i].routine);
    m->params = NewString(d->paramText);
    m->returnType = NewString(d->returnType);
    m->entry.declaration = defs[i].declaration;
    m->entry.name = Keep(d->name);
    m->entry.params = ParameterTable(*d);
    m->entry.paramCount = static_cast<uint32_t>(d->params.size());
    m->entry.assignCode = defs[i].assignRoutine;
    m->entry.returnType = Keep(d->returnType);
  }
}

ClassRecord* RegisterControlDefinition(PluginControlDefinition* d) {
  if (!d || (d->version != 3 && d->version != 4) || !d->name) return nullptr;
  if (!PluginInstanceFits(kPluginControlDataOffset, d->dataSize)) return nullptr;
  ClassRecord* cls = NewClassRecord(d->name);
  cls->builtIn = 1;
  cls->superclass = FindBuiltInClass("RectControl");
  cls->instanceSize = d->dataSize + kPluginControlDataOffset;
  cls->constructor = reinterpret_cast<CodeAddress>(ConstructControl);
  cls->destructor = reinterpret_cast<CodeAddress>(DestroyControl);
  AddEventHandler(cls, "CreatePane", reinterpret_cast<CodeAddress>(PluginControlCreatePane), 0);
  d->dataOffset = kPluginControlDataOffset;
  // Registered before its members, so that a property may be of its own type.
  AddPluginControl(cls, d);
  AddPluginProperties(cls, d->properties, d->propertyCount, kPluginControlDataOffset,
                      d->flags & kPluginControlRedraws);
  AddPluginMethods(cls, d->methods, d->methodCount);
  AddEvents(cls, d->events, d->eventCount);
  if (d->version >= 4) AddInterfaces(cls, *d);
  return cls;
}

PluginControlDefinition* ConvertVersion1(const PluginControlDefinitionV1& old,
                                         const PluginExportEntry* exports) {
  auto* d = new PluginControlDefinition{};
  d->version = 4;
  d->name = old.name;
  d->dataSize = old.dataSize;
  d->flags = old.flags;
  d->pictureIds[0] = old.pictureIds[0];
  d->pictureIds[1] = old.pictureIds[1];
  d->defaultWidth = d->defaultHeight = 100;
  d->properties = new PluginPropertyDefinition[old.propertyCount]{};
  d->propertyCount = old.propertyCount;
  for (uint32_t i = 0; old.properties && i < old.propertyCount; ++i) {
    const PluginPropertyDefinitionV1& p = old.properties[i];
    d->properties[i] = PluginPropertyDefinition{p.group, p.name, p.type, p.flags,
                                                ZORB_DEFAULT_ACCESSOR, ZORB_DEFAULT_ACCESSOR,
                                                p.param, 0, 0, nullptr};
  }
  d->methods = new PluginMethodDefinition[old.methodCount]{};
  d->methodCount = old.methodCount;
  for (uint32_t i = 0; old.methods && i < old.methodCount; ++i) {
    const PluginExportEntry* entry = ExportEntry(exports, old.methods[i].exportIndex);
    void* routine = entry ? entry->routine : nullptr;
    // Without a routine there is nothing to call: the declaration is dropped
    // so that the method is not registered.
    d->methods[i] = PluginMethodDefinition{routine, nullptr,
                                           routine ? old.methods[i].declaration : nullptr};
  }
  d->events = old.events;
  d->eventCount = old.eventCount;
  d->behaviour = old.behaviour;
  return d;
}
