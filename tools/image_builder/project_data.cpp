// Generating the image's data from the project description; see
// project_data.h. Every pointer written here is a relocation to a symbol,
// so the linker turns it into a data fixup wherever the data lands.
#include "tools/image_builder/project_data.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "sdk/description_encoding.h"
#include "sdk/le_bytes.h"
#include "tools/image_builder/menu_description.h"
#include "tools/image_builder/picture_file.h"

namespace {

// Appends words, byte runs and pointers to the generated data.
class DataWriter {
 public:
  explicit DataWriter(GeneratedData& d) : d_(d) {}

  uint32_t Here() const { return static_cast<uint32_t>(d_.bytes.size()); }
  void Align() {
    while (d_.bytes.size() % 4) d_.bytes.push_back(0);
  }
  void Define(const std::string& symbol) {
    Align();
    d_.symbols[symbol] = Here();
  }
  void Word(uint32_t w) {
    uint8_t b[4];
    WriteU32LE(b, w);
    d_.bytes.insert(d_.bytes.end(), b, b + 4);
  }
  void Bytes(const std::vector<uint8_t>& bytes) {
    d_.bytes.insert(d_.bytes.end(), bytes.begin(), bytes.end());
  }
  // A word that will hold the address of `symbol` (null when it is empty).
  void Pointer(const std::string& symbol) {
    if (!symbol.empty()) d_.relocations.push_back({Here(), symbol});
    Word(0);
  }
  // A StringRecord constant; returns its symbol ("" for the empty string).
  std::string String(const std::string& text) {
    if (text.empty()) return "";
    std::string symbol = "vs.string." + std::to_string(counter_++);
    Define(symbol);
    Word(1);
    Pointer(symbol + ".bytes");
    Word(static_cast<uint32_t>(text.size()));
    Word(static_cast<uint32_t>(text.size()));
    d_.symbols[symbol + ".bytes"] = Here();
    d_.bytes.push_back(static_cast<uint8_t>(text.size() < 256 ? text.size() : 255));
    d_.bytes.insert(d_.bytes.end(), text.begin(), text.end());
    d_.bytes.push_back(0);
    return symbol;
  }
  std::string NewSymbol(const std::string& kind) { return "vs." + kind + "." + std::to_string(counter_++); }

 private:
  GeneratedData& d_;
  int counter_ = 0;
};

uint32_t Index(const Project& p, const std::string& name) {
  return name.empty() ? 0xFFFFFFFFu : static_cast<uint32_t>(ClassIndex(p, name));
}

void WriteDescriptor(const Project& p, const ProjectClass& c, DataWriter& w, const std::string& symbol) {
  if (c.builtIn) {
    std::string name = w.String(c.name);
    w.Define(symbol);
    w.Word(1);
    w.Pointer(name);
    return;
  }
  // Strings first, so that the descriptor's words stay together.
  std::string name = w.String(c.name);
  std::vector<std::string> methodNames, handlerNames, menuNames;
  for (const ProjectMethod& m : c.methods) methodNames.push_back(w.String(m.name));
  for (const ProjectHandler& h : c.handlers) handlerNames.push_back(w.String(h.event));
  for (const ProjectHandler& h : c.menuHandlers) menuNames.push_back(w.String(h.event));
  w.Define(symbol);
  w.Word(0);
  w.Word(c.instanceSize);
  w.Pointer(name);
  w.Word(Index(p, c.super));
  bool initializers = !c.constructor.empty() || !c.destructor.empty();
  w.Word(initializers);
  if (initializers) {
    w.Pointer(c.constructor);
    w.Pointer(c.destructor);
  }
  w.Word(c.isInterface);
  w.Word(static_cast<uint32_t>(c.interfaces.size()));
  for (const std::string& i : c.interfaces) w.Word(Index(p, i));
  w.Word(static_cast<uint32_t>(c.methods.size()));
  for (size_t i = 0; i < c.methods.size(); ++i) {
    w.Pointer(methodNames[i]);
    if (!c.isInterface) w.Pointer(c.methods[i].code);
  }
  w.Word(static_cast<uint32_t>(c.handlers.size()));
  for (size_t i = 0; i < c.handlers.size(); ++i) {
    w.Pointer(handlerNames[i]);
    w.Pointer(c.handlers[i].code);
    w.Word(c.handlers[i].key);
  }
  w.Word(static_cast<uint32_t>(c.menuHandlers.size()));
  for (size_t i = 0; i < c.menuHandlers.size(); ++i) {
    w.Pointer(menuNames[i]);
    w.Pointer(c.menuHandlers[i].code);
  }
  w.Word(static_cast<uint32_t>(c.vtable.size()));
  for (const std::string& v : c.vtable) w.Pointer(v);
}

std::vector<uint8_t> SettingsBytes(const ProjectItem& item) {
  std::vector<uint8_t> b = {item.optionFlag};
  PutWordBigEndian(b, item.reserved);
  PutWordBigEndian(b, item.languageCode);
  PutPackedInt(b, static_cast<int32_t>(item.fileTypes.size()));
  for (const ProjectFileType& t : item.fileTypes)
    for (const std::string* s : {&t.name, &t.creator, &t.type, &t.extensions}) PutPackedString(b, *s);
  PutPackedInt(b, static_cast<int32_t>(item.messages.size()));
  for (const std::string& m : item.messages) PutPackedString(b, m);
  b.push_back(item.multipleDocuments ? 1 : 0);
  PutPackedString(b, item.title);
  return b;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

std::string InProject(const Project& p, const std::string& file) {
  return file.empty() || file[0] == '/' ? file : p.directory + "/" + file;
}

// The stored menu description (byte count and stream): encoded from the
// item's menus, or a ready-made stream read from its file.
bool MenuBarBytes(const Project& p, const ProjectItem& item, std::vector<uint8_t>& bytes,
                  std::string& error) {
  if (item.file.empty()) {
    auto classIndex = [&p](const std::string& name) { return ClassIndex(p, name); };
    return EncodeMenuBar(nlohmann::json::parse(item.menusJson.empty() ? "[]" : item.menusJson),
                         classIndex, bytes, error);
  }
  std::vector<uint8_t> stream;
  if (!ReadFile(InProject(p, item.file), stream, error)) return false;
  bytes.resize(4);
  WriteU32LE(bytes.data(), static_cast<uint32_t>(stream.size()));
  bytes.insert(bytes.end(), stream.begin(), stream.end());
  return true;
}

bool WriteItem(const Project& p, const ProjectItem& item, DataWriter& w, const std::string& symbol,
               std::string& error) {
  std::vector<uint8_t> bytes;
  if (item.type == "module") {
    std::string slot = ModuleSlotSymbol(item.className);
    w.Define(slot);
    w.Word(0);
    w.Define(symbol);
    w.Word(5);
    w.Word(static_cast<uint32_t>(ClassIndex(p, item.className)));
    w.Pointer(slot);
  } else if (item.type == "settings") {
    bytes = SettingsBytes(item);
    w.Define(symbol);
    w.Word(4);
    w.Word(0);
    w.Word(static_cast<uint32_t>(bytes.size()));
    w.Bytes(bytes);
  } else if (item.type == "picture") {
    Picture16 picture;
    if (!ReadPictureFile(InProject(p, item.file), picture, error)) return false;
    w.Define(symbol);
    for (uint32_t word : {1u, item.value, 16u, picture.width, picture.height,
                          static_cast<uint32_t>(picture.pixels.size() * 2)})
      w.Word(word);
    for (uint16_t px : picture.pixels) w.Bytes({static_cast<uint8_t>(px), static_cast<uint8_t>(px >> 8)});
  } else if (item.type == "menubar") {
    if (!MenuBarBytes(p, item, bytes, error)) return false;
    w.Define(symbol);
    w.Word(2);
    w.Bytes(bytes);
  } else {
    error = "unknown project item type \"" + item.type + "\"";
    return false;
  }
  return true;
}

bool WritePlugins(const Project& p, DataWriter& w, std::string& error) {
  std::vector<std::string> nodes;
  for (size_t i = 0; i < p.plugins.size(); ++i) nodes.push_back(w.NewSymbol("plugin"));
  for (size_t i = 0; i < p.plugins.size(); ++i) {
    std::string path = InProject(p, p.plugins[i]);
    std::vector<uint8_t> library;
    if (!ReadFile(path, library, error)) return false;
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.size() > 255) {
      error = "plug-in file name longer than 255 bytes: " + name;
      return false;
    }
    w.Define(i == 0 ? kPluginListSymbol : nodes[i]);
    w.Pointer(i + 1 < nodes.size() ? nodes[i + 1] : "");
    w.Word(static_cast<uint32_t>(5 + name.size() + library.size()));
    w.Word(0);
    w.Bytes({static_cast<uint8_t>(name.size())});
    w.Bytes(std::vector<uint8_t>(name.begin(), name.end()));
    w.Bytes(library);
  }
  return true;
}

void PutProperties(std::vector<uint8_t>& b, const std::vector<DescribedProperty>& properties) {
  for (const DescribedProperty& p : properties) {
    PutPackedString(b, p.first);
    PutPackedString(b, p.second);
  }
}

std::string Capitalised(const std::string& s) {
  std::string out = s;
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
  return out;
}

}  // namespace

std::string ModuleSlotSymbol(const std::string& className) { return "vs_module_" + className; }
std::string WindowSymbol(const std::string& windowName) { return "vs_window_" + windowName; }

std::vector<uint8_t> EncodeWindowDescription(const Project& p, const ProjectWindow& w) {
  std::vector<uint8_t> stream;
  PutPackedInt(stream, static_cast<int32_t>(w.properties.size()));
  PutPackedInt(stream, ClassIndex(p, w.className));
  PutProperties(stream, w.properties);
  PutPackedInt(stream, static_cast<int32_t>(w.controls.size()));
  for (const ProjectControl& c : w.controls) {
    PutPackedInt(stream, ClassIndex(p, c.className));
    PutPackedInt(stream, static_cast<int32_t>(c.properties.size()));
    PutProperties(stream, c.properties);
  }
  PutPackedInt(stream, 0);  // no data bindings
  std::vector<uint8_t> out(4);
  WriteU32LE(out.data(), static_cast<uint32_t>(stream.size()));
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

bool GenerateProjectData(const Project& p, GeneratedData& data, std::string& error) {
  DataWriter w(data);
  std::vector<std::string> classes, items;
  for (size_t i = 0; i < p.classes.size(); ++i) {
    classes.push_back(w.NewSymbol("class"));
    WriteDescriptor(p, p.classes[i], w, classes.back());
  }
  for (const ProjectItem& item : p.items) {
    items.push_back(w.NewSymbol("item"));
    if (!WriteItem(p, item, w, items.back(), error)) return false;
  }
  if (!WritePlugins(p, w, error)) return false;
  for (const ProjectWindow& window : p.windows) {
    w.Define(WindowSymbol(window.name));
    w.Bytes(EncodeWindowDescription(p, window));
  }
  w.Define(kProjectRecordSymbol);
  w.Word(static_cast<uint32_t>(classes.size()));
  for (const std::string& c : classes) w.Pointer(c);
  w.Word(static_cast<uint32_t>(items.size()));
  for (const std::string& i : items) w.Pointer(i);
  return true;
}

std::string GenerateProjectHeader(const Project& p, const std::string& projectName) {
  std::ostringstream h;
  h << "// Generated by vellory-image from " << projectName << "; do not edit.\n"
    << "// Class indexes, field offsets and the symbols of the project description.\n"
    << "#pragma once\n#include \"sdk/vellory.h\"\n\nnamespace vs_project {\n\n";
  for (size_t i = 0; i < p.classes.size(); ++i)
    h << "inline constexpr int32_t kClass" << p.classes[i].name << " = " << i << ";\n";
  for (const ProjectClass& c : p.classes) {
    if (c.builtIn) continue;
    h << "\nnamespace " << c.name << " {\ninline constexpr uint32_t kInstanceSize = "
      << c.instanceSize << ";\n";
    for (const ProjectField& f : c.fields)
      h << "inline constexpr uint32_t k" << Capitalised(f.name) << " = " << f.offset << ";  // "
        << f.type << "\n";
    h << "}  // namespace " << c.name << "\n";
  }
  h << "\n}  // namespace vs_project\n\nextern \"C\" {\nextern const uint32_t " << kProjectRecordSymbol
    << "[];\n";
  if (!p.plugins.empty()) h << "extern const uint8_t " << kPluginListSymbol << "[];\n";
  for (const ProjectItem& item : p.items)
    if (item.type == "module") h << "extern ObjectRecord* " << ModuleSlotSymbol(item.className) << ";\n";
  for (const ProjectWindow& w : p.windows)
    h << "extern const uint8_t " << WindowSymbol(w.name) << "[];  // window description\n";
  h << "}\n\nnamespace vs_project {\n// The embedded plug-in list for Win32InstallPlugins (null without plug-ins).\n"
    << "inline const void* PluginList() { return " << (p.plugins.empty() ? "nullptr" : kPluginListSymbol)
    << "; }\n}  // namespace vs_project\n";
  return h.str();
}
