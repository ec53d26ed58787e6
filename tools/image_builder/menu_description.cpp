// Encoding menu bar descriptions; see menu_description.h. Every top-level
// entry is followed by its level; below the top level only entries with a
// submenu are followed by one (their has-submenu byte says so).
#include "tools/image_builder/menu_description.h"

#include <climits>

#include "sdk/description_encoding.h"
#include "sdk/le_bytes.h"

using nlohmann::json;

namespace {

std::string Text(const json& j, const char* key) {
  return j.contains(key) ? j.at(key).get<std::string>() : std::string();
}

bool EncodeLevel(const json& entries, bool topLevel, const ClassIndexOf& classIndex,
                 std::vector<uint8_t>& out, std::string& error);

bool EncodeEntry(const json& e, bool topLevel, const ClassIndexOf& classIndex,
                 std::vector<uint8_t>& out, std::string& error) {
  std::string className = e.value("class", std::string("MenuItem"));
  int32_t index = classIndex(className);
  if (index < 0) {
    error = "menu entry \"" + Text(e, "text") + "\": unknown class " + className;
    return false;
  }
  const json items = e.value("items", json::array());
  bool submenu = !topLevel && !items.empty();
  PutPackedInt(out, e.value("kind", 0));
  PutPackedString(out, Text(e, "text"));
  PutPackedString(out, Text(e, "name"));
  PutPackedInt(out, e.value("index", INT32_MIN));
  PutPackedString(out, Text(e, "key"));
  PutPackedString(out, Text(e, "help"));
  PutPackedString(out, Text(e, "disabledHelp"));
  out.push_back(0);  // flag
  out.push_back(submenu ? 1 : 0);
  PutPackedInt(out, index);
  if (topLevel || submenu) return EncodeLevel(items, false, classIndex, out, error);
  return true;
}

bool EncodeLevel(const json& entries, bool topLevel, const ClassIndexOf& classIndex,
                 std::vector<uint8_t>& out, std::string& error) {
  PutPackedInt(out, static_cast<int32_t>(entries.size()));
  for (const json& e : entries)
    if (!EncodeEntry(e, topLevel, classIndex, out, error)) return false;
  return true;
}

void CollectClassNames(const json& entries, std::vector<std::string>& out) {
  if (!entries.is_array()) return;
  for (const json& e : entries) {
    if (!e.is_object()) continue;
    out.push_back(e.value("class", std::string("MenuItem")));
    if (e.contains("items")) CollectClassNames(e.at("items"), out);
  }
}

}  // namespace

std::vector<std::string> MenuClassNames(const json& menus) {
  std::vector<std::string> out;
  try {
    CollectClassNames(menus, out);
  } catch (const json::exception&) {
    // A malformed entry is reported when the menu bar is encoded.
  }
  return out;
}

bool EncodeMenuBar(const json& menus, const ClassIndexOf& classIndex, std::vector<uint8_t>& out,
                   std::string& error) {
  std::vector<uint8_t> stream;
  try {
    if (!EncodeLevel(menus, true, classIndex, stream, error)) return false;
  } catch (const json::exception& e) {
    error = std::string("menu bar: ") + e.what();
    return false;
  }
  uint8_t length[4];
  WriteU32LE(length, static_cast<uint32_t>(stream.size()));
  out.assign(length, length + 4);
  out.insert(out.end(), stream.begin(), stream.end());
  return true;
}
