// Class records and the lookups over class chains; see classes.h. Records
// live for the whole process once start-up has built them; the list
// records come from the tagged allocator.
#include "objects/classes.h"

#include "objects/assertion.h"
#include "objects/class_table.h"
#include "objects/collation.h"
#include "objects/exceptions.h"
#include "objects/strings.h"
#include "objects/tagged_alloc.h"

namespace {

ClassRecord* gFirstClass = nullptr;
uint32_t gInterfaceGeneration = 0;

template <typename Record>
Record* NewListRecord() {
  return static_cast<Record*>(TaggedAlloc(sizeof(Record)));
}

// Appends `record` to the singly linked list starting at `head`, whose last
// record is `last` when that is known.
template <typename Record>
void Append(Record*& head, Record* record, Record* last = nullptr) {
  if (last) {
    last->next = record;
    return;
  }
  Record** link = &head;
  while (*link) link = &(*link)->next;
  *link = record;
}

template <typename Record>
void Push(Record*& head, Record* record) {
  record->next = head;
  head = record;
}

template <typename Record, typename Release>
void FreeList(Record*& head, Release release) {
  while (Record* r = head) {
    head = r->next;
    release(r);
    TaggedFree(r);
  }
}

bool NameIs(const StringRecord* name, std::string_view other) {
  return CollateEqual(StringView(name), other);
}

uint32_t InterfaceMethodCount(const ClassRecord* iface) {
  uint32_t n = 0;
  for (const MethodRecord* m = iface->methods; m; m = m->next) ++n;
  return n;
}

const MethodRecord* FindMethodInChain(const ClassRecord* cls, const StringRecord* name) {
  for (; cls; cls = cls->superclass)
    for (const MethodRecord* m = cls->methods; m; m = m->next)
      if (StringsEqualIgnoringCase(m->name, name)) return m;
  return nullptr;
}

bool SameParameters(const MethodRecord* a, const MethodRecord* b) {
  if (a->entry.paramCount != b->entry.paramCount) return false;
  for (uint32_t i = 0; i < a->entry.paramCount; ++i) {
    const char* x = a->entry.params[i].type;
    const char* y = b->entry.params[i].type;
    if (!CollateEqual(x ? x : "", y ? y : "")) return false;
  }
  return true;
}

bool FillInterfaceTable(const ClassRecord* cls, InterfaceRecord* ir) {
  TaggedFree(ir->table);
  uint32_t count = InterfaceMethodCount(ir->iface);
  ir->table = static_cast<CodeAddress*>(TaggedAlloc((count + 1) * sizeof(CodeAddress)));
  ir->tableCount = count;
  uint32_t slot = 1;
  for (const MethodRecord* wanted = ir->iface->methods; wanted; wanted = wanted->next, ++slot) {
    const MethodRecord* found = FindMethodInChain(cls, wanted->name);
    if (!found || !SameParameters(found, wanted)) return false;
    ir->table[slot] = found->entry.code;
  }
  return true;
}

bool BuildTablesOf(ClassRecord* cls) {
  if (cls->interfaceStamp == gInterfaceGeneration || cls->isInterface) return true;
  cls->interfaceStamp = gInterfaceGeneration;
  for (InterfaceRecord* ir = cls->interfaces; ir; ir = ir->next)
    if (!FillInterfaceTable(cls, ir)) return false;
  ClassRecord* super = cls->superclass;
  if (!cls->builtIn && super && super->interfaceStamp != gInterfaceGeneration)
    return BuildTablesOf(super);
  return true;
}

void NumberInterfaceMethods(ClassRecord* cls) {
  uint32_t slot = 0;
  for (MethodRecord* m = cls->methods; m; m = m->next) {
    m->interfaceSlot = cls->isInterface ? ++slot : 0;
    if (cls->isInterface)
      m->flags |= kInterfaceMethod;
    else
      m->flags &= ~kInterfaceMethod;
  }
}

ObjectRecord* CheckedObject(ObjectRecord* object) {
  if (!object) RuntimeNilObject();
  return object;
}

}  // namespace

ClassRecord* FirstClassRecord() { return gFirstClass; }

ClassRecord* NewClassRecord(std::string_view name) {
  auto* cls = static_cast<ClassRecord*>(TaggedAlloc(sizeof(ClassRecord)));
  cls->header = kClassRecordHeader;
  cls->name = NewString(name);
  cls->instanceSize = sizeof(ObjectRecord);
  cls->nextClass = gFirstClass;
  gFirstClass = cls;
  return cls;
}

void DestroyClassRecord(ClassRecord* cls) {
  bool builtIn = cls->builtIn;
  FreeList(cls->properties, [](PropertyRecord* r) {
    RuntimeUnlockString(r->group);
    RuntimeUnlockString(r->name);
  });
  FreeList(cls->methods, [builtIn](MethodRecord* r) {
    RuntimeUnlockString(r->name);
    RuntimeUnlockString(r->params);
    RuntimeUnlockString(r->returnType);
    if (!builtIn) TaggedFree(const_cast<ParameterEntry*>(r->entry.params));
  });
  FreeList(cls->events, [builtIn](EventDeclaration* r) {
    RuntimeUnlockString(r->name);
    RuntimeUnlockString(r->params);
    RuntimeUnlockString(r->returnType);
    if (!builtIn) TaggedFree(const_cast<ParameterEntry*>(r->paramTable));
  });
  FreeList(cls->handlers, [](EventHandlerRecord* r) { RuntimeUnlockString(r->name); });
  FreeList(cls->menuHandlers, [](MenuHandlerRecord* r) { RuntimeUnlockString(r->itemName); });
  FreeList(cls->interfaces, [](InterfaceRecord* r) { TaggedFree(r->table); });
  for (ClassRecord** link = &gFirstClass; *link; link = &(*link)->nextClass)
    if (*link == cls) {
      *link = cls->nextClass;
      break;
    }
  RuntimeUnlockString(cls->name);
  TaggedFree(cls);
}

MethodRecord* AddMethod(ClassRecord* cls, std::string_view name, CodeAddress code, MethodRecord* last) {
  auto* m = NewListRecord<MethodRecord>();
  m->name = NewString(name);
  m->entry.code = code;
  Append(cls->methods, m, last);
  return m;
}

MethodRecord* AddBuiltInMethod(ClassRecord* cls, const MethodEntry& entry) {
  MethodRecord* m = AddMethod(cls, entry.name ? entry.name : "", entry.code);
  m->entry = entry;
  m->returnType = NewString(entry.returnType ? entry.returnType : "");
  return m;
}

EventDeclaration* DeclareEvent(ClassRecord* cls, std::string_view name, std::string_view params,
                               std::string_view returnType) {
  auto* d = NewListRecord<EventDeclaration>();
  d->name = NewString(name);
  d->params = NewString(params);
  d->returnType = NewString(returnType);
  Append(cls->events, d);
  return d;
}

EventDeclaration* DeclareEvent(ClassRecord* cls, EventEntry& entry) {
  EventDeclaration* d = DeclareEvent(cls, entry.name ? entry.name : "",
                                     entry.params ? entry.params : "",
                                     entry.returnType ? entry.returnType : "");
  entry.declaration = d;
  return d;
}

EventHandlerRecord* AddEventHandler(ClassRecord* cls, std::string_view name, CodeAddress code,
                                    uint32_t key) {
  auto* h = NewListRecord<EventHandlerRecord>();
  h->name = NewString(name);
  h->key = key;
  h->code = code;
  Push(cls->handlers, h);
  return h;
}

MenuHandlerRecord* AddMenuHandler(ClassRecord* cls, std::string_view itemName, CodeAddress code) {
  auto* h = NewListRecord<MenuHandlerRecord>();
  h->itemName = NewString(itemName);
  h->code = code;
  Push(cls->menuHandlers, h);
  return h;
}

InterfaceRecord* AddInterface(ClassRecord* cls, ClassRecord* iface, InterfaceRecord* last) {
  auto* r = NewListRecord<InterfaceRecord>();
  r->iface = iface;
  Append(cls->interfaces, r, last);
  return r;
}

PropertyRecord* AddProperty(ClassRecord* cls, const PropertyEntry& entry) {
  auto* p = NewListRecord<PropertyRecord>();
  p->group = NewString(entry.group ? entry.group : "");
  p->name = NewString(entry.name ? entry.name : "");
  p->type = entry.type;
  p->getter = entry.getter;
  p->setter = entry.setter;
  p->param = entry.param;
  Append(cls->properties, p);
  return p;
}

bool ClassIsa(const ClassRecord* cls, const ClassRecord* target) {
  if (!target) return false;
  for (; cls; cls = cls->superclass) {
    if (!target->isInterface) {
      if (cls == target) return true;
      continue;
    }
    for (const InterfaceRecord* ir = cls->interfaces; ir; ir = ir->next)
      if (ir->iface == target) return true;
  }
  return false;
}

CodeAddress FindEventHandler(const ClassRecord* cls, const EventDeclaration* declaration,
                             bool* ownClass) {
  CodeAddress found = nullptr;
  bool foundOwn = false;
  for (const ClassRecord* c = cls; c; c = c->superclass) {
    for (const EventDeclaration* d = c->events; d; d = d->next) {
      if (d == declaration) {
        if (ownClass) *ownClass = found && foundOwn;
        return found;
      }
      if (StringsEqualIgnoringCase(d->name, declaration->name)) found = nullptr;
    }
    for (const EventHandlerRecord* h = c->handlers; h; h = h->next)
      if (StringsEqualIgnoringCase(h->name, declaration->name)) {
        found = h->code;
        foundOwn = c == cls;
      }
  }
  if (ownClass) *ownClass = false;
  return nullptr;
}

bool BuildInterfaceTables() {
  for (ClassRecord* c = gFirstClass; c; c = c->nextClass) NumberInterfaceMethods(c);
  ++gInterfaceGeneration;
  for (ClassRecord* c = gFirstClass; c; c = c->nextClass)
    if (!BuildTablesOf(c)) return false;
  return true;
}

const PropertyRecord* FindProperty(const ClassRecord* cls, std::string_view name) {
  for (; cls; cls = cls->superclass)
    for (const PropertyRecord* p = cls->properties; p; p = p->next)
      if (NameIs(p->name, name)) return p;
  return nullptr;
}

extern "C" {

bool RuntimeObjectIsa(ObjectRecord* object, int32_t classIndex) {
  if (!object) return false;
  return ClassIsa(object->cls, ClassAt(classIndex));
}

void RuntimeCheckCast(ObjectRecord* object, int32_t classIndex) {
  if (!object || RuntimeObjectIsa(object, classIndex)) return;
  RaiseNewException("IllegalCastException");
}

CodeAddress FindVTableCode(ObjectRecord* object, int32_t slot) {
  const ClassRecord* cls = CheckedObject(object)->cls;
  if (!RuntimeCheck(slot >= 0 && uint32_t(slot) < cls->vtableCount, "vtable slot out of range"))
    return nullptr;
  return cls->vtable[slot];
}

CodeAddress FindInterfaceVTableCode(ObjectRecord* object, int32_t slot, int32_t interfaceIndex) {
  const ClassRecord* iface = ClassAt(interfaceIndex);
  for (const ClassRecord* c = CheckedObject(object)->cls; c; c = c->superclass)
    for (const InterfaceRecord* ir = c->interfaces; ir; ir = ir->next) {
      if (ir->iface != iface) continue;
      if (!ir->table || slot < 1 || uint32_t(slot) > ir->tableCount) return nullptr;
      return ir->table[slot];
    }
  return nullptr;
}

CodeAddress RuntimeFindHookCode(ObjectRecord* object, uint32_t key) {
  if (!object) return nullptr;
  for (const ClassRecord* c = object->cls; c; c = c->superclass)
    for (const EventHandlerRecord* h = c->handlers; h; h = h->next)
      if (h->key == key) return h->code;
  return nullptr;
}

}  // extern "C"
