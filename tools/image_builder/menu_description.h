// Menu bar descriptions, written from the project description's "menubar"
// item: a tree of menus and items, encoded as the stored menu description
// (a u32 byte count, then the packed stream of menu levels).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The class index of a class name, or -1 when the project has no such class.
using ClassIndexOf = std::function<int32_t(const std::string&)>;

// Encodes `menus` (the top-level entries: {"kind", "text", "name", "items"}
// with items {"text", "name", "key", "help", "disabledHelp", "index", "class",
// "items"}). Items' class defaults to "MenuItem". False with `error` set for
// an unknown class.
// The item classes `menus` names, with the default "MenuItem" for entries
// that name none, so that the project can refer to built-in ones.
std::vector<std::string> MenuClassNames(const nlohmann::json& menus);

bool EncodeMenuBar(const nlohmann::json& menus, const ClassIndexOf& classIndex,
                   std::vector<uint8_t>& out, std::string& error);
