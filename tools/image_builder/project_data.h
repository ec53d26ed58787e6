// What the builder writes into the data block from the project description:
// the project record, class descriptors, name strings, project items and the
// embedded plug-in list; and the header through which application code sees
// the same numbers (class indexes, field offsets) and symbols.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/image_builder/image_linker.h"
#include "tools/image_builder/project.h"

// Symbols the generated data defines for application code.
inline constexpr char kProjectRecordSymbol[] = "vs_project_record";
inline constexpr char kPluginListSymbol[] = "vs_plugin_list";

// The generated data of `project`. False with `error` set when an item's file
// cannot be read or is not understood.
bool GenerateProjectData(const Project& project, GeneratedData& data, std::string& error);

// The C++ header for application code, named after `projectName`.
std::string GenerateProjectHeader(const Project& project, const std::string& projectName);

// The stored form of a window: a little-endian byte count, then the packed
// stream (property count, class index, the pairs, the controls, no bindings).
std::vector<uint8_t> EncodeWindowDescription(const Project& project, const ProjectWindow& window);
// The symbol through which application code reaches a window's description.
std::string WindowSymbol(const std::string& windowName);

// The symbol of a module item's instance slot.
std::string ModuleSlotSymbol(const std::string& className);
