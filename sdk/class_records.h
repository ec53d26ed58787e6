// The run-time description of classes. Compiled code and plug-ins reach these
// records (a class's vtable, its event declarations), so their layouts are
// fixed and pinned by static_asserts.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sdk/runtime_records.h"

using CodeAddress = void*;

// A routine's address as class records and the built-in tables store it.
template <typename F>
inline CodeAddress CodeOf(F* routine) {
  return reinterpret_cast<CodeAddress>(routine);
}

// A parameter of a built-in method or event: 7 words, the second the type.
struct ParameterEntry {
  const char* name;
  const char* type;
  uint32_t reserved[5];
};

// The static entry of a built-in method (24 words). The record built from it
// keeps a copy.
struct MethodEntry {
  const char* declaration;       // e.g. "List(row As Integer) As String"
  const char* name;
  const ParameterEntry* params;  // third word
  uint32_t paramCount;           // fourth word
  CodeAddress code;              // fifth word
  CodeAddress assignCode;        // runs when a value is assigned to the call
  const char* returnType;
  uint32_t reserved[17];
};

// The static entry of a built-in event (6 words). When the runtime builds the
// class it stores the declaration record in `declaration`; runtime code raises
// the event through that word.
struct EventDeclaration;
struct EventEntry {
  uint32_t flags;
  const char* name;
  const char* params;      // e.g. "item As FolderItem"
  const char* returnType;  // e.g. "Boolean", or ""
  uint32_t reserved;
  EventDeclaration* declaration;
};

// The static entry of a built-in property (6 words). Getters are called as
// getter(object, param), setters as setter(object, param, value).
struct PropertyEntry {
  const char* group;
  const char* name;
  const char* type;  // "String", "Integer", "Color", "Boolean", or a class name
  CodeAddress getter;
  CodeAddress setter;
  uint32_t param;
};

struct ClassRecord;

struct MethodRecord {
  MethodRecord* next;
  StringRecord* name;
  StringRecord* params;      // parameter text
  StringRecord* returnType;
  MethodEntry entry;         // image classes fill only entry.code
  uint32_t interfaceSlot;    // 1-based position in an interface, else 0
  uint32_t flags;            // kInterfaceMethod for interface methods
};
inline constexpr uint32_t kInterfaceMethod = 1u << 8;

struct EventDeclaration {
  EventDeclaration* next;
  StringRecord* name;
  StringRecord* params;
  StringRecord* returnType;
  const ParameterEntry* paramTable;
  uint32_t paramCount;
};

struct EventHandlerRecord {
  EventHandlerRecord* next;
  StringRecord* name;
  uint32_t key;
  CodeAddress code;
};

struct MenuHandlerRecord {
  MenuHandlerRecord* next;
  StringRecord* itemName;
  CodeAddress code;
};

struct InterfaceRecord {
  InterfaceRecord* next;
  ClassRecord* iface;
  CodeAddress* table;   // entry 0 unused; entries 1..tableCount
  uint32_t tableCount;
};

struct PropertyRecord {
  PropertyRecord* next;
  StringRecord* group;
  StringRecord* name;
  const char* type;
  CodeAddress getter;
  CodeAddress setter;
  uint32_t param;
};

inline constexpr uint32_t kClassRecordHeader = 3;

struct ClassRecord {
  uint32_t header;  // kClassRecordHeader
  ClassRecord* superclass;
  CodeAddress* vtable;
  uint32_t interfaceStamp;
  uint32_t vtableCount;
  StringRecord* name;
  uint8_t builtIn;
  ClassRecord* nextClass;
  uint32_t instanceSize;
  PropertyRecord* properties;
  MethodRecord* methods;
  EventDeclaration* events;
  EventHandlerRecord* handlers;
  MenuHandlerRecord* menuHandlers;
  InterfaceRecord* interfaces;
  uint8_t isInterface;
  CodeAddress constructor;  // constructor(object, classRecord)
  CodeAddress destructor;   // destructor(object, classRecord)
};

using ObjectHook = void(__cdecl*)(ObjectRecord* object, ClassRecord* cls);

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ParameterEntry) == 7 * 4);
static_assert(sizeof(MethodEntry) == 24 * 4);
static_assert(offsetof(MethodEntry, params) == 2 * 4);
static_assert(offsetof(MethodEntry, paramCount) == 3 * 4);
static_assert(offsetof(MethodEntry, code) == 4 * 4);
static_assert(sizeof(EventEntry) == 6 * 4);
static_assert(offsetof(EventEntry, declaration) == 5 * 4);
static_assert(sizeof(PropertyEntry) == 6 * 4);
static_assert(offsetof(PropertyEntry, name) == 4);
static_assert(sizeof(MethodRecord) == 4 * 4 + 24 * 4 + 2 * 4);
static_assert(offsetof(MethodRecord, entry) == 16);
static_assert(offsetof(MethodRecord, interfaceSlot) == 112);
static_assert(sizeof(EventDeclaration) == 24);
static_assert(sizeof(EventHandlerRecord) == 16);
static_assert(offsetof(EventHandlerRecord, code) == 12);
static_assert(sizeof(MenuHandlerRecord) == 12);
static_assert(sizeof(InterfaceRecord) == 16);
static_assert(sizeof(PropertyRecord) == 28);
static_assert(offsetof(PropertyRecord, name) == 8);
static_assert(offsetof(ClassRecord, superclass) == 4);
static_assert(offsetof(ClassRecord, vtable) == 8);
static_assert(offsetof(ClassRecord, interfaceStamp) == 12);
static_assert(offsetof(ClassRecord, vtableCount) == 16);
static_assert(offsetof(ClassRecord, name) == 20);
static_assert(offsetof(ClassRecord, builtIn) == 24);
static_assert(offsetof(ClassRecord, nextClass) == 28);
static_assert(offsetof(ClassRecord, instanceSize) == 32);
static_assert(offsetof(ClassRecord, properties) == 36);
static_assert(offsetof(ClassRecord, methods) == 40);
static_assert(offsetof(ClassRecord, events) == 44);
static_assert(offsetof(ClassRecord, handlers) == 48);
static_assert(offsetof(ClassRecord, menuHandlers) == 52);
static_assert(offsetof(ClassRecord, interfaces) == 56);
static_assert(offsetof(ClassRecord, isInterface) == 60);
static_assert(offsetof(ClassRecord, constructor) == 64);
static_assert(offsetof(ClassRecord, destructor) == 68);
static_assert(sizeof(ClassRecord) == 72);
#endif
