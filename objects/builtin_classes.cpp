// The built-in class registry; see builtin_classes.h. Every class of the
// layout table gets a record, so that image classes deriving from one link
// from the start; the classes with behaviour of their own get it from the
// lookup start-up installs.
#include "objects/builtin_classes.h"

#include "objects/classes.h"
#include "objects/name_map.h"

namespace {

NameMap gBuiltInClassNames;
bool gRegistered = false;
BehaviourLookup gBehaviourOf = nullptr;
ClassFinder gFindOther = nullptr;

ClassRecord* Build(const BuiltInClassLayout& layout) {
  ClassRecord* cls = NewClassRecord(layout.name);
  cls->builtIn = 1;
  cls->isInterface = layout.isInterface;
  cls->instanceSize = layout.instanceSize;
  cls->superclass = layout.superclass ? FindBuiltInClass(layout.superclass) : nullptr;
  const BuiltInBehaviour* b = gBehaviourOf ? gBehaviourOf(layout.name) : nullptr;
  if (!b) return cls;
  cls->constructor = reinterpret_cast<CodeAddress>(b->constructor);
  cls->destructor = reinterpret_cast<CodeAddress>(b->destructor);
  for (uint32_t i = 0; i < b->eventCount; ++i) DeclareEvent(cls, b->events[i]);
  for (uint32_t i = 0; i < b->propertyCount; ++i) AddProperty(cls, b->properties[i]);
  for (uint32_t i = 0; i < b->methodCount; ++i) AddBuiltInMethod(cls, b->methods[i]);
  for (uint32_t i = 0; i < b->handlerCount; ++i)
    AddEventHandler(cls, b->handlers[i].event, b->handlers[i].code, 0);
  return cls;
}

}  // namespace

void SetBuiltInBehaviours(BehaviourLookup lookup) { gBehaviourOf = lookup; }

void RegisterBuiltInClasses() {
  if (gRegistered) return;
  gRegistered = true;
  for (const BuiltInClassLayout& layout : kBuiltInClassLayouts)
    gBuiltInClassNames.Insert(layout.name, reinterpret_cast<uint32_t>(Build(layout)));
}

ClassRecord* FindBuiltInClass(std::string_view name) {
  RegisterBuiltInClasses();
  return reinterpret_cast<ClassRecord*>(gBuiltInClassNames.Find(name));
}

void SetClassFinder(ClassFinder finder) { gFindOther = finder; }

ClassRecord* FindNamedClass(std::string_view name) {
  if (ClassRecord* cls = FindBuiltInClass(name)) return cls;
  return gFindOther ? gFindOther(name) : nullptr;
}
