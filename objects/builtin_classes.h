// The built-in class registry, the one index of the runtime's own classes.
// The layout table in sdk/ becomes class records, indexed by
// name, on the first lookup. What each class adds beyond its layout
// (properties, events, behaviour) is defined in the layer that implements it
// and gathered by start-up, which installs the lookup here.
#pragma once
#include <cstdint>
#include <string_view>

#include "sdk/builtin_class_layout.h"
#include "sdk/class_records.h"

// An event handler a built-in class brings along (the control kinds' own
// "CreatePane"): found like an application's handler, along the class chain.
struct BuiltInHandler {
  const char* event;
  CodeAddress code;
};

// Constructor, destructor, events, properties, methods and handlers of a
// built-in class whose name, superclass and size are in
// sdk/builtin_class_layout.h.
struct BuiltInBehaviour {
  const char* name = nullptr;
  ObjectHook constructor = nullptr;
  ObjectHook destructor = nullptr;
  EventEntry* events = nullptr;  // the runtime writes each declaration back into its entry
  uint32_t eventCount = 0;
  const PropertyEntry* properties = nullptr;
  uint32_t propertyCount = 0;
  const MethodEntry* methods = nullptr;
  uint32_t methodCount = 0;
  const BuiltInHandler* handlers = nullptr;
  uint32_t handlerCount = 0;
};

// Where a built-in class's behaviour is found: start-up's table, which
// gathers what the layers above this one define (null: layout only).
using BehaviourLookup = const BuiltInBehaviour* (*)(const char* name);

// Installs the behaviour lookup. Start-up calls it before anything looks a
// class up: the records are built once, on the first lookup.
void SetBuiltInBehaviours(BehaviourLookup lookup);

// Builds a record for every built-in class and indexes them by name. Runs
// once; later calls do nothing.
void RegisterBuiltInClasses();

// The built-in class named `name` (any letter case), or null.
ClassRecord* FindBuiltInClass(std::string_view name);

// Classes beyond the built-in ones that a name may stand for (plug-ins'
// controls and classes), installed at start-up.
using ClassFinder = ClassRecord* (*)(std::string_view name);
void SetClassFinder(ClassFinder finder);

// The class a stored name stands for: a built-in class, else what the
// installed finder knows; null when none is named so.
ClassRecord* FindNamedClass(std::string_view name);
