// Class records: making them, the global class list, membership, dispatch
// and the lookup of event handlers along a class chain.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"
#include <string_view>

#include "sdk/class_records.h"

// The newest class record; records link to older ones through nextClass.
ClassRecord* FirstClassRecord();

// A fresh record named `name` (the record keeps its own reference), with
// every list empty and instance size 24, pushed on the front of the list.
ClassRecord* NewClassRecord(std::string_view name);

// Frees a record's lists (the parameter tables of non-built-in methods and
// events too), unlinks it from the class list and releases its name.
void DestroyClassRecord(ClassRecord* cls);

// List builders. Methods, events, interfaces and properties keep declaration
// order; handlers and menu handlers go on the front of their lists. `last`,
// when given, is the list's last record (what the previous call returned):
// a class read from an image adds its members in a row, and each would
// otherwise walk the whole list again.
MethodRecord* AddMethod(ClassRecord* cls, std::string_view name, CodeAddress code,
                        MethodRecord* last = nullptr);
MethodRecord* AddBuiltInMethod(ClassRecord* cls, const MethodEntry& entry);
EventDeclaration* DeclareEvent(ClassRecord* cls, EventEntry& entry);
EventDeclaration* DeclareEvent(ClassRecord* cls, std::string_view name, std::string_view params,
                               std::string_view returnType);
EventHandlerRecord* AddEventHandler(ClassRecord* cls, std::string_view name, CodeAddress code,
                                    uint32_t key);
MenuHandlerRecord* AddMenuHandler(ClassRecord* cls, std::string_view itemName, CodeAddress code);
InterfaceRecord* AddInterface(ClassRecord* cls, ClassRecord* iface, InterfaceRecord* last = nullptr);
PropertyRecord* AddProperty(ClassRecord* cls, const PropertyEntry& entry);

// True when `cls` is `target` or derives from it; for an interface target,
// when some class of the chain implements it.
bool ClassIsa(const ClassRecord* cls, const ClassRecord* target);

// The code of the handler for `declaration` that an object of `cls` runs, or
// null. The handler nearest the declaring class wins; a class that declares
// an event of the same name hides the handlers below it. `ownClass` tells
// whether the handler belongs to `cls` itself.
CodeAddress FindEventHandler(const ClassRecord* cls, const EventDeclaration* declaration,
                             bool* ownClass = nullptr);

// Numbers interface methods, then fills every class's interface dispatch
// tables by name along its chain. False at the first method that cannot be
// matched; the tables not filled then dispatch to null.
bool BuildInterfaceTables();

// The property named `name` on `cls` or its nearest superclass, or null.
const PropertyRecord* FindProperty(const ClassRecord* cls, std::string_view name);

