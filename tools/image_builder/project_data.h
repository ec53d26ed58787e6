// What the builder writes into the data block from the project description:
// the project record, class descriptors, name strings, project items and the
// embedded plug-in list; and the header through which application code sees
// the same numbers (class indexes, field offsets) and symbols.
#pragma once
#include <string>

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

// The symbol of a module item's instance slot.
std::string ModuleSlotSymbol(const std::string& className);
