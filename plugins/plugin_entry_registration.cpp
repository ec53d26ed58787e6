// The registration services plug-ins call from their ZORBPluginMain. Each is
// refused when no plug-in's main is running: a call from anywhere else
// (a control routine, a timer) would have no plug-in to belong to, and a
// class added after start-up could never be linked against the image.
#include <optional>

#include "objects/classes.h"
#include "objects/strings.h"
#include "plugins/declaration_parser.h"
#include "plugins/plugin_registration.h"
#include "plugins/plugin_registry.h"
#include "sdk/vellory.h"

namespace {

bool ClassesAllowed(const PluginRecord* plugin) {
  return plugin && (plugin->version == 3 || plugin->version == 4);
}

using InstanceRoutine = void(__cdecl*)(ObjectRecord*);

void __cdecl ConstructPluginObject(ObjectRecord* object, ClassRecord* cls) {
  const PluginClassDefinition* d = PluginClassDefinitionOf(cls);
  if (d && d->constructor) reinterpret_cast<InstanceRoutine>(d->constructor)(object);
}

void __cdecl DestroyPluginObject(ObjectRecord* object, ClassRecord* cls) {
  const PluginClassDefinition* d = PluginClassDefinitionOf(cls);
  if (d && d->destructor) reinterpret_cast<InstanceRoutine>(d->destructor)(object);
}

}  // namespace

extern "C" {

void RegisterPluginVersion(int32_t version) {
  if (PluginRecord* p = CurrentPlugin()) p->version = static_cast<uint32_t>(version);
}

void RegisterPluginExports(const PluginExportEntry* table) {
  if (PluginRecord* p = CurrentPlugin()) p->exports = table;
}

void PluginMarkSocketUsage() {
  if (PluginRecord* p = CurrentPlugin()) p->usesSockets = 1;
}

void PluginRegisterControl(void* definition) {
  PluginRecord* plugin = CurrentPlugin();
  if (!plugin || !definition) return;
  uint32_t version = *static_cast<uint32_t*>(definition);
  if (version != 1) {
    RegisterControlDefinition(static_cast<PluginControlDefinition*>(definition));
    return;
  }
  auto* old = static_cast<PluginControlDefinitionV1*>(definition);
  PluginControlDefinition* converted = ConvertVersion1(*old, plugin->exports);
  if (RegisterControlDefinition(converted)) old->dataOffset = converted->dataOffset;
}

void PluginRegisterClass(PluginClassDefinition* d) {
  if (!ClassesAllowed(CurrentPlugin()) || !d || !d->name) return;
  if (!PluginInstanceFits(kPluginClassDataOffset, d->dataSize)) return;
  if (FindPluginAwareClass(d->name)) return;
  ClassRecord* cls = NewClassRecord(d->name);
  cls->builtIn = 1;
  cls->instanceSize = kPluginClassDataOffset + d->dataSize;
  if (d->constructor) cls->constructor = reinterpret_cast<CodeAddress>(ConstructPluginObject);
  if (d->destructor) cls->destructor = reinterpret_cast<CodeAddress>(DestroyPluginObject);
  AddPluginClass(cls, d);
}

void PluginRegisterClassExtension(PluginClassDefinition* d) {
  if (!ClassesAllowed(CurrentPlugin()) || !d || !d->name) return;
  ClassRecord* cls = FindPluginAwareClass(d->name);
  if (!cls) return;
  AddPluginProperties(cls, d->properties, d->propertyCount, kPluginClassDataOffset, false);
  AddPluginMethods(cls, d->methods, d->methodCount);
}

void PluginRegisterMethod(PluginMethodDefinition* d) {
  if (!CurrentPlugin() || !d || !d->declaration) return;
  std::optional<Declaration> parsed = ParseDeclaration(d->declaration);
  if (!parsed) return;
  AddPluginGlobalMethod(parsed->name, d->routine, d->assignRoutine);
}

StringRecord* PluginDefaultControlFont() { return NewString("System"); }
StringRecord* PluginDefaultControlCaption() { return NewString("Untitled"); }
int32_t PluginDefaultControlFontSize() { return 12; }

StringRecord* PluginInterpretConstantValue(StringRecord* value) {
  RuntimeLockString(value);
  return value;
}

}  // extern "C"
