// Default accessors; see plugin_accessors.h. The redrawing setters store
// first and then ask the pane to redraw, so that a plug-in's draw routine
// already sees the new value.
#include "plugins/plugin_accessors.h"

#include <string_view>

#include "objects/collation.h"
#include "objects/objects.h"
#include "plugins/plugin_registry.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/pane.h"

namespace {

constexpr uint32_t kDefault = ZORB_DEFAULT_ACCESSOR;

bool Is(const char* type, std::string_view name) { return CollateEqual(type, name); }

// Built-in types stored as a 32-bit value.
bool IsIntegerType(const char* type) {
  for (const char* name : {"Integer", "Color", "Single", "Short", "UInt32", "Int32"})
    if (Is(type, name)) return true;
  return false;
}

void Redraw(ObjectRecord* instance) {
  if (!instance || !IsRectControl(instance)) return;
  Pane* pane = reinterpret_cast<RectControlObject*>(instance)->pane;
  if (pane) pane->Invalidate();
}

CodeAddress DefaultGetter(FieldKind kind) {
  switch (kind) {
    case FieldKind::kString: return CodeOf(stringGetter);
    case FieldKind::kBoolean: return CodeOf(byteFieldGetter);
    case FieldKind::kObject: return CodeOf(objGetter);
    default: return CodeOf(intFieldGetter);
  }
}

CodeAddress DefaultSetter(FieldKind kind, bool redraw) {
  switch (kind) {
    case FieldKind::kString: return redraw ? CodeOf(stringInvalidateSetter) : CodeOf(stringSetter);
    case FieldKind::kBoolean: return redraw ? CodeOf(boolInvalidateSetter) : CodeOf(byteFieldSetter);
    case FieldKind::kObject: return redraw ? CodeOf(objInvalidateSetter) : CodeOf(objSetter);
    default: return redraw ? CodeOf(intInvalidateSetter) : CodeOf(intFieldSetter);
  }
}

}  // namespace

FieldKind FieldKindOf(const char* type) {
  if (!type || !*type) return FieldKind::kUnknown;
  if (Is(type, "String")) return FieldKind::kString;
  if (Is(type, "Boolean")) return FieldKind::kBoolean;
  if (IsIntegerType(type)) return FieldKind::kInteger;
  if (FindPluginAwareClass(type)) return FieldKind::kObject;
  return FieldKind::kUnknown;
}

ResolvedAccessors AccessorsFor(const PluginPropertyDefinition& d, FieldKind kind,
                               uint32_t dataOffset, bool redraw) {
  ResolvedAccessors a{reinterpret_cast<CodeAddress>(d.getter),
                      reinterpret_cast<CodeAddress>(d.setter), d.param};
  bool anyDefault = d.getter == kDefault || d.setter == kDefault;
  if (d.getter == kDefault) a.getter = DefaultGetter(kind);
  if (d.setter == kDefault) a.setter = DefaultSetter(kind, redraw);
  if (anyDefault) a.param = dataOffset + d.param;
  return a;
}

extern "C" {

void stringInvalidateSetter(ObjectRecord* instance, uint32_t offset, StringRecord* value) {
  if (!instance) return;
  stringSetter(instance, offset, value);
  Redraw(instance);
}

void boolInvalidateSetter(ObjectRecord* instance, uint32_t offset, bool value) {
  if (!instance) return;
  byteFieldSetter(instance, offset, value ? 1 : 0);
  Redraw(instance);
}

void objInvalidateSetter(ObjectRecord* instance, uint32_t offset, ObjectRecord* value) {
  if (!instance) return;
  objSetter(instance, offset, value);
  Redraw(instance);
}

void intInvalidateSetter(ObjectRecord* instance, uint32_t offset, int32_t value) {
  if (!instance) return;
  intFieldSetter(instance, offset, value);
  Redraw(instance);
}

}  // extern "C"
