// The runtime's default property accessors for plug-in controls and
// classes: which field accessor a property definition gets from its type
// name, and the setters that redraw the control after storing.
#pragma once
#include <cstdint>

#include "sdk/class_records.h"
#include "sdk/plugin_records.h"

struct ResolvedAccessors {
  CodeAddress getter;
  CodeAddress setter;
  uint32_t param;
};

// How the type name of a property definition is stored.
enum class FieldKind { kString, kBoolean, kObject, kInteger, kUnknown };
// "String", "Boolean", a class name (by the plug-in-aware class lookup), or
// any other built-in type; kUnknown when the name resolves to nothing.
FieldKind FieldKindOf(const char* typeName);

// The accessors a property definition asks for, for instances whose plug-in
// data starts at `dataOffset`; `redraw` selects the redrawing setters. A
// default accessor reads the field at dataOffset + the definition's
// parameter, and then the property's parameter is that offset (the
// plug-in's own routine on the same property gets it too).
ResolvedAccessors AccessorsFor(const PluginPropertyDefinition& definition, FieldKind kind,
                               uint32_t dataOffset, bool redraw);
