// Reading the project description; see project.h. Layout numbers (class
// indexes, field offsets, instance sizes) are worked out here once and from
// here reach both the image and the header the application code includes.
#include "tools/image_builder/project.h"

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "sdk/builtin_class_layout.h"
#include "tools/image_builder/menu_description.h"

using nlohmann::json;

namespace {

const BuiltInClassLayout* BuiltInLayout(const std::string& name) {
  for (const BuiltInClassLayout& l : kBuiltInClassLayouts)
    if (name == l.name) return &l;
  return nullptr;
}

struct FieldType {
  const char* name;
  uint32_t size;
};
const FieldType kFieldTypes[] = {{"int32", 4}, {"uint32", 4}, {"color", 4}, {"string", 4},
                                 {"object", 4}, {"pointer", 4}, {"single", 4}, {"double", 8},
                                 {"int16", 2}, {"int8", 1},    {"bool", 1}};

uint32_t FieldSize(const std::string& type) {
  for (const FieldType& t : kFieldTypes)
    if (type == t.name) return t.size;
  return 0;
}

std::string Text(const json& j, const char* key) {
  return j.contains(key) ? j.at(key).get<std::string>() : std::string();
}

std::vector<ProjectHandler> Handlers(const json& list, const char* nameKey) {
  std::vector<ProjectHandler> out;
  for (const json& h : list)
    out.push_back({Text(h, nameKey), Text(h, "code"), h.value("key", 0u)});
  return out;
}

ProjectClass ReadClass(const json& j) {
  ProjectClass c;
  c.name = Text(j, "name");
  c.builtIn = j.value("builtIn", false);
  c.super = Text(j, "super");
  c.isInterface = j.value("interface", false);
  c.plugin = j.value("plugin", false);
  if (c.plugin) {
    c.builtIn = true;
    c.pluginDataSize = j.value("dataSize", 0u);
    if (c.super.empty()) c.super = "RectControl";
  }
  for (const json& f : j.value("fields", json::array()))
    c.fields.push_back({Text(f, "name"), Text(f, "type"), 0});
  c.constructor = Text(j, "constructor");
  c.destructor = Text(j, "destructor");
  c.interfaces = j.value("interfaces", std::vector<std::string>());
  for (const json& m : j.value("methods", json::array()))
    c.methods.push_back({Text(m, "name"), Text(m, "code")});
  c.handlers = Handlers(j.value("handlers", json::array()), "event");
  c.menuHandlers = Handlers(j.value("menuHandlers", json::array()), "item");
  c.vtable = j.value("vtable", std::vector<std::string>());
  return c;
}

ProjectItem ReadItem(const json& j) {
  ProjectItem item;
  item.type = Text(j, "type");
  item.className = Text(j, "class");
  item.optionFlag = j.value("optionFlag", uint8_t{0});
  item.reserved = j.value("reserved", 0u);
  item.languageCode = j.value("languageCode", 0u);
  for (const json& t : j.value("fileTypes", json::array()))
    item.fileTypes.push_back({t.at(0).get<std::string>(), t.at(1).get<std::string>(),
                              t.at(2).get<std::string>(), t.at(3).get<std::string>()});
  item.messages = j.value("messages", std::vector<std::string>());
  item.multipleDocuments = j.value("multipleDocuments", false);
  item.title = Text(j, "title");
  item.file = Text(j, "file");
  if (j.contains("menus")) item.menusJson = j.at("menus").dump();
  item.value = j.value("value", 0u);
  return item;
}

std::vector<DescribedProperty> Properties(const json& list) {
  std::vector<DescribedProperty> out;
  for (const json& pair : list) out.emplace_back(pair.at(0).get<std::string>(), pair.at(1).get<std::string>());
  return out;
}

// The window's own name is its "Name" property, which leads the list.
ProjectWindow ReadWindow(const json& j) {
  ProjectWindow w;
  w.name = Text(j, "name");
  w.className = Text(j, "class");
  w.properties = Properties(j.value("properties", json::array()));
  bool named = false;
  for (DescribedProperty& p : w.properties)
    if (p.first == "Name") named = true;
  if (!named) w.properties.insert(w.properties.begin(), {"Name", w.name});
  for (const json& c : j.value("controls", json::array()))
    w.controls.push_back({Text(c, "class"), Properties(c.value("properties", json::array()))});
  return w;
}

// Adds built-in classes named as superclasses, interfaces, window or control
// classes but not listed.
void AddBuiltInReferences(Project& p) {
  std::vector<std::string> wanted;
  for (const ProjectClass& c : p.classes) {
    if (!c.super.empty()) wanted.push_back(c.super);
    wanted.insert(wanted.end(), c.interfaces.begin(), c.interfaces.end());
  }
  for (const ProjectItem& item : p.items) {
    if (item.type != "menubar" || item.menusJson.empty()) continue;
    std::vector<std::string> menuClasses = MenuClassNames(nlohmann::json::parse(item.menusJson));
    wanted.insert(wanted.end(), menuClasses.begin(), menuClasses.end());
  }
  for (const ProjectWindow& w : p.windows) {
    wanted.push_back(w.className);
    for (const ProjectControl& c : w.controls) wanted.push_back(c.className);
  }
  for (const std::string& name : wanted)
    if (ClassIndex(p, name) < 0 && BuiltInLayout(name)) {
      ProjectClass ref;
      ref.name = name;
      ref.builtIn = true;
      p.classes.push_back(ref);
    }
}

bool Fail(std::string& error, const std::string& what) {
  error = what;
  return false;
}

// Lays out the fields of class `i` after its superclass's, superclass first.
bool LayOut(Project& p, size_t i, std::vector<int>& state, std::string& error) {
  ProjectClass& c = p.classes[i];
  if (state[i] == 2) return true;
  if (state[i] == 1) return Fail(error, "class " + c.name + " derives from itself");
  state[i] = 1;
  if (c.plugin) {
    c.instanceSize = kPluginControlDataOffset + c.pluginDataSize;
    state[i] = 2;
    return true;
  }
  if (c.builtIn) {
    const BuiltInClassLayout* l = BuiltInLayout(c.name);
    if (!l) return Fail(error, "no built-in class is named " + c.name);
    c.instanceSize = l->instanceSize;
    c.isInterface = l->isInterface;
    state[i] = 2;
    return true;
  }
  uint32_t offset = 24;
  if (!c.super.empty()) {
    int32_t s = ClassIndex(p, c.super);
    if (s < 0) return Fail(error, "class " + c.name + ": unknown superclass " + c.super);
    if (!LayOut(p, static_cast<size_t>(s), state, error)) return false;
    offset = p.classes[s].instanceSize;
  }
  for (ProjectField& f : c.fields) {
    uint32_t size = FieldSize(f.type);
    if (!size) return Fail(error, "class " + c.name + ": field " + f.name + " has unknown type " + f.type);
    uint32_t align = size >= 4 ? 4 : size;
    offset = (offset + align - 1) / align * align;
    f.offset = offset;
    offset += size;
  }
  c.instanceSize = offset;
  state[i] = 2;
  return true;
}

// True when class `name` is `ancestor` or derives from it.
// Built-in ancestors count through the layout table whether or not the
// project refers to them.
bool DerivesFrom(const Project& p, const std::string& name, const std::string& ancestor) {
  for (std::string at = name; !at.empty();) {
    if (at == ancestor) return true;
    int32_t i = ClassIndex(p, at);
    if (i < 0) {
      const BuiltInClassLayout* layout = BuiltInLayout(at);
      if (!layout) return false;
      at = layout->superclass ? layout->superclass : "";
      continue;
    }
    const ProjectClass& c = p.classes[static_cast<size_t>(i)];
    if (c.plugin || !c.builtIn) {
      at = c.super;
      continue;
    }
    at = BuiltInLayout(at) && BuiltInLayout(at)->superclass ? BuiltInLayout(at)->superclass : "";
  }
  return false;
}

bool CheckWindows(const Project& p, std::string& error) {
  std::map<std::string, int> seen;
  for (const ProjectWindow& w : p.windows) {
    if (w.name.empty()) return Fail(error, "a window has no name");
    if (seen[w.name]++) return Fail(error, "window " + w.name + " is listed twice");
    if (!DerivesFrom(p, w.className, "Window"))
      return Fail(error, "window " + w.name + ": class " + w.className + " does not derive from Window");
    // A serial line is placed on a window like a control without being one.
    for (const ProjectControl& c : w.controls)
      if (!DerivesFrom(p, c.className, "Control") && !DerivesFrom(p, c.className, "Serial"))
        return Fail(error, "window " + w.name + ": control class " + c.className +
                               " does not derive from Control or Serial");
  }
  return true;
}

bool Check(Project& p, std::string& error) {
  std::map<std::string, int> seen;
  for (const ProjectClass& c : p.classes)
    if (seen[c.name]++) return Fail(error, "class " + c.name + " is listed twice");
  for (const ProjectClass& c : p.classes)
    for (const std::string& i : c.interfaces)
      if (ClassIndex(p, i) < 0) return Fail(error, "class " + c.name + ": unknown interface " + i);
  for (const ProjectItem& item : p.items)
    if (item.type == "module" && ClassIndex(p, item.className) < 0)
      return Fail(error, "module item: unknown class " + item.className);
  std::vector<int> state(p.classes.size(), 0);
  for (size_t i = 0; i < p.classes.size(); ++i)
    if (!LayOut(p, i, state, error)) return false;
  return CheckWindows(p, error);
}

}  // namespace

int32_t ClassIndex(const Project& project, const std::string& name) {
  for (size_t i = 0; i < project.classes.size(); ++i)
    if (project.classes[i].name == name) return static_cast<int32_t>(i);
  return -1;
}

bool ReadProject(const std::string& path, Project& project, std::string& error) {
  std::ifstream in(path);
  if (!in) return Fail(error, "cannot open " + path);
  try {
    json j = json::parse(in);
    size_t slash = path.find_last_of('/');
    project.directory = slash == std::string::npos ? "." : path.substr(0, slash);
    project.entry = Text(j, "entry");
    for (const json& c : j.value("classes", json::array())) project.classes.push_back(ReadClass(c));
    for (const json& i : j.value("items", json::array())) project.items.push_back(ReadItem(i));
    project.plugins = j.value("plugins", std::vector<std::string>());
    for (const json& w : j.value("windows", json::array())) project.windows.push_back(ReadWindow(w));
  } catch (const json::exception& e) {
    return Fail(error, path + ": " + e.what());
  }
  if (project.entry.empty()) return Fail(error, path + ": no entry function is named");
  AddBuiltInReferences(project);
  return Check(project, error) || Fail(error, path + ": " + error);
}
