// What the runtime keeps about plug-ins: one record per loaded library, the
// plug-in whose main is running (registrations are accepted only then), and
// the classes, controls and global methods they registered, where class
// lookups and member imports find them.
#pragma once
#include <cstdint>
#include <string_view>

#include "sdk/class_records.h"
#include "sdk/plugin_records.h"

struct PluginRecord {
  PluginRecord* next;
  const PluginExportEntry* exports;  // RegisterPluginExports, else null
  uint32_t reserved[2];              // -1 both
  uint32_t zero;
  uint8_t usesSockets;               // PluginMarkSocketUsage
  uint32_t version;                  // 1 until RegisterPluginVersion
  uint8_t runtimeFlag;               // handed to the plug-in's accessors
};

// Makes a record for a newly loaded library, puts it at the front of the
// list and makes it current; EndPluginMain clears the current one.
PluginRecord* BeginPluginMain();
void EndPluginMain();
// The plug-in whose main is running, or null at every other time.
PluginRecord* CurrentPlugin();
PluginRecord* FirstPlugin();

// A registered control class and the definition it came from.
struct PluginControl {
  PluginControl* next;
  ClassRecord* cls;
  PluginControlDefinition* definition;
};
void AddPluginControl(ClassRecord* cls, PluginControlDefinition* definition);
PluginControl* FirstPluginControl();
// The control whose class is `cls` or its nearest plug-in superclass.
const PluginControl* PluginControlOf(const ClassRecord* cls);

// Plug-in classes (PluginRegisterClass), newest first.
void AddPluginClass(ClassRecord* cls, PluginClassDefinition* definition);
const PluginClassDefinition* PluginClassDefinitionOf(const ClassRecord* cls);

// Class lookup by name: built-in classes, then plug-in controls, then
// plug-in classes (any letter case); null when none is named so.
ClassRecord* FindPluginAwareClass(std::string_view name);
// Plug-in controls and classes only.
ClassRecord* FindPluginClass(std::string_view name);

// Global methods (PluginRegisterMethod), by name.
void AddPluginGlobalMethod(std::string_view name, CodeAddress code, CodeAddress assignCode);
CodeAddress FindPluginGlobalMethod(std::string_view name, bool assignment);

// Forgets every plug-in record, control, class and global method (tests).
void ResetPluginRegistryForTests();
