// The plug-in registry; see plugin_registry.h. Everything here lives for the
// life of the process: libraries are never unloaded and their definitions
// stay where the plug-ins keep them.
#include "plugins/plugin_registry.h"

#include <string>

#include "objects/builtin_classes.h"
#include "objects/collation.h"
#include "objects/strings.h"

namespace {

PluginRecord* gFirstPlugin = nullptr;
PluginRecord* gCurrentPlugin = nullptr;
PluginControl* gFirstControl = nullptr;

struct PluginClass {
  PluginClass* next;
  ClassRecord* cls;
  PluginClassDefinition* definition;
};
PluginClass* gFirstClass = nullptr;

struct GlobalMethod {
  GlobalMethod* next;
  std::string name;
  CodeAddress code;
  CodeAddress assignCode;
};
GlobalMethod* gFirstGlobal = nullptr;

bool Named(const ClassRecord* cls, std::string_view name) {
  return CollateEqual(StringView(cls->name), name);
}

}  // namespace

PluginRecord* BeginPluginMain() {
  auto* p = new PluginRecord{};
  p->reserved[0] = p->reserved[1] = 0xFFFFFFFFu;
  p->version = 1;
  p->next = gFirstPlugin;
  gFirstPlugin = p;
  gCurrentPlugin = p;
  return p;
}

void EndPluginMain() { gCurrentPlugin = nullptr; }
PluginRecord* CurrentPlugin() { return gCurrentPlugin; }
PluginRecord* FirstPlugin() { return gFirstPlugin; }

void AddPluginControl(ClassRecord* cls, PluginControlDefinition* definition) {
  gFirstControl = new PluginControl{gFirstControl, cls, definition};
}

PluginControl* FirstPluginControl() { return gFirstControl; }

const PluginControl* PluginControlOf(const ClassRecord* cls) {
  for (; cls; cls = cls->superclass)
    for (const PluginControl* c = gFirstControl; c; c = c->next)
      if (c->cls == cls) return c;
  return nullptr;
}

void AddPluginClass(ClassRecord* cls, PluginClassDefinition* definition) {
  gFirstClass = new PluginClass{gFirstClass, cls, definition};
}

const PluginClassDefinition* PluginClassDefinitionOf(const ClassRecord* cls) {
  for (const PluginClass* c = gFirstClass; c; c = c->next)
    if (c->cls == cls) return c->definition;
  return nullptr;
}

ClassRecord* FindPluginClass(std::string_view name) {
  for (const PluginControl* c = gFirstControl; c; c = c->next)
    if (Named(c->cls, name)) return c->cls;
  for (const PluginClass* c = gFirstClass; c; c = c->next)
    if (Named(c->cls, name)) return c->cls;
  return nullptr;
}

ClassRecord* FindPluginAwareClass(std::string_view name) {
  if (ClassRecord* cls = FindBuiltInClass(name)) return cls;
  return FindPluginClass(name);
}

void AddPluginGlobalMethod(std::string_view name, CodeAddress code, CodeAddress assignCode) {
  gFirstGlobal = new GlobalMethod{gFirstGlobal, std::string(name), code, assignCode};
}

CodeAddress FindPluginGlobalMethod(std::string_view name, bool assignment) {
  for (const GlobalMethod* g = gFirstGlobal; g; g = g->next)
    if (CollateEqual(g->name, name)) return assignment ? g->assignCode : g->code;
  return nullptr;
}

// The records are leaked on purpose: classes made from them may still point
// at their definitions.
void ResetPluginRegistryForTests() {
  gFirstPlugin = gCurrentPlugin = nullptr;
  gFirstControl = nullptr;
  gFirstClass = nullptr;
  gFirstGlobal = nullptr;
}
