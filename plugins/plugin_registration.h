// Turning plug-in definitions into classes of the class registry. The
// extern "C" registration services (sdk/entry_plugins.h) check that a
// plug-in's main is running and then call these.
#pragma once
#include <cstdint>

#include "sdk/builtin_class_layout.h"
#include "sdk/class_records.h"
#include "sdk/image_format.h"
#include "sdk/plugin_records.h"

// Where a plain plug-in class's default fields start (a control's data
// starts at kPluginControlDataOffset).
inline constexpr uint32_t kPluginClassDataOffset = 24;

// Whether a plug-in's `dataSize` bytes after `offset` make an object no
// larger than an image class's may be. Worked out in 64 bits: a size near
// 4 GB must not wrap to a small object that its fields then overrun.
inline bool PluginInstanceFits(uint32_t offset, uint32_t dataSize) {
  return uint64_t{offset} + dataSize <= image::kMaxInstanceSize;
}

// Registers a version 3 or 4 control definition (kept by pointer); null for
// any other version, or for data too large for an object.
ClassRecord* RegisterControlDefinition(PluginControlDefinition* definition);

// Entry `index` of a plug-in's export table. The table carries no count:
// the entry must lie in the same readable memory as the table itself (the
// plug-in library's image), and below 4096; null otherwise.
const PluginExportEntry* ExportEntry(const PluginExportEntry* table, uint32_t index);

// A version 1 definition as a new version 4 one (kept for the life of the
// process); method routines come from `exports`, the plug-in's table.
PluginControlDefinition* ConvertVersion1(const PluginControlDefinitionV1& old,
                                         const PluginExportEntry* exports);

// Properties and methods of a definition added to `cls`; properties whose
// type resolves to nothing and methods whose declaration does not parse are
// skipped.
void AddPluginProperties(ClassRecord* cls, const PluginPropertyDefinition* defs, uint32_t count,
                         uint32_t dataOffset, bool redraw);
void AddPluginMethods(ClassRecord* cls, const PluginMethodDefinition* defs, uint32_t count);
