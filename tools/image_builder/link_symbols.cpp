// Link symbols; see link_symbols.h. The runtime looks import names up
// without regard to case, so the check against its list does the same and
// the import record carries the name as the runtime lists it.
#include "tools/image_builder/link_symbols.h"

#include <cctype>

namespace {

constexpr size_t kMaxImportName = 255;
constexpr char kProjectData[] = "the project data";

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The compiler names a weak symbol's default ".weak.<symbol>.<some other
// symbol>", which two objects may well both produce; it is only ever
// reached through its weak symbol, never by name.
bool IsWeakDefaultName(const std::string& name) { return name.starts_with(".weak."); }

}  // namespace

std::string CName(const std::string& name) {
  return !name.empty() && name[0] == '_' ? name.substr(1) : name;
}

bool LinkSymbols::Define(const std::string& name, const Target& target, const std::string& where,
                         std::string& error) {
  auto [it, inserted] = definedIn_.try_emplace(name, where);
  if (!inserted) return Fail(error, where + ": " + name + " is already defined in " + it->second);
  definitions_[name] = target;
  return true;
}

bool LinkSymbols::Build(const std::vector<InputObject>& objects, const Layout& layout,
                        const GeneratedData& generated, const std::set<std::string>& runtimeNames,
                        std::string& error) {
  objects_ = &objects;
  layout_ = &layout;
  for (const std::string& name : runtimeNames) runtime_.try_emplace(Lower(name), name);

  for (size_t o = 0; o < objects.size(); ++o) {
    const InputObject& object = objects[o];
    for (const coff::Symbol& symbol : object.coff.symbols) {
      if (symbol.isAux || symbol.storageClass != coff::kExternal) continue;
      if (symbol.section == coff::kUndefinedSection && symbol.value != 0)
        return Fail(error, object.name + ": " + CName(symbol.name) +
                               " is a common symbol; compile with -fno-common");
      if (symbol.section <= 0 || !object.kept[symbol.section - 1] || IsWeakDefaultName(symbol.name))
        continue;
      Target target;
      if (!Locate(o, symbol, target, error) || !Define(CName(symbol.name), target, object.name, error))
        return false;
    }
  }

  // Weak symbols that nothing defined take their defaults.
  for (size_t o = 0; o < objects.size(); ++o) {
    const InputObject& object = objects[o];
    for (const coff::Symbol& symbol : object.coff.symbols) {
      if (symbol.isAux || symbol.storageClass != coff::kWeakExternal) continue;
      std::string name = CName(symbol.name);
      if (definitions_.count(name)) continue;
      const coff::Symbol& fallback = object.coff.symbols[symbol.weakDefault];
      Target target;
      if (fallback.isAux || fallback.section <= 0)
        return Fail(error, object.name + ": weak symbol " + name + " has no default definition");
      if (!Locate(o, fallback, target, error) || !Define(name, target, object.name, error)) return false;
    }
  }

  for (const auto& [name, offset] : generated.symbols) {
    if (offset > generated.bytes.size())
      return Fail(error, std::string(kProjectData) + ": " + name + " lies outside the generated data");
    if (!Define(name, {TargetKind::Data, layout.generatedBase + offset, {}}, kProjectData, error))
      return false;
  }
  return true;
}

// A symbol defined in a section: kept sections give a place, dropped
// COMDAT copies defer to the copy that was kept.
bool LinkSymbols::Locate(size_t o, const coff::Symbol& symbol, Target& target, std::string& error) const {
  const InputObject& object = (*objects_)[o];
  size_t s = static_cast<size_t>(symbol.section - 1);
  const coff::Section& section = object.coff.sections[s];
  std::string name = CName(symbol.name);
  if (object.kept[s]) {
    if (symbol.value > section.size)
      return Fail(error, object.name + ": " + name + " lies outside its section " + section.name);
    target.kind = object.roles[s] == SectionRole::Code ? TargetKind::Code : TargetKind::Data;
    target.offset = layout_->base[o][s] + symbol.value;
    return true;
  }
  if (!IsLoadedRole(object.roles[s]))
    return Fail(error, object.name + ": " + name + " lies in section " + section.name + ", which is not loaded");
  if (symbol.storageClass == coff::kExternal) {
    if (const Target* kept = Find(name)) {
      target = *kept;
      return true;
    }
  }
  return Fail(error, object.name + ": " + name + " refers into the dropped duplicate section " + section.name);
}

bool LinkSymbols::ResolveUndefined(size_t o, const coff::Symbol& symbol, Target& target,
                                   std::string& error) const {
  const std::string& objectName = (*objects_)[o].name;
  std::string name = CName(symbol.name);
  if (const Target* defined = Find(name)) {
    target = *defined;
    return true;
  }
  target = {TargetKind::Import, 0, {}};
  if (symbol.name.starts_with("!")) {
    if (symbol.name.size() > kMaxImportName)
      return Fail(error, objectName + ": import name " + symbol.name + " is longer than 255 bytes");
    target.import = symbol.name;
    return true;
  }
  if (!symbol.name.starts_with("_")) return Fail(error, objectName + ": " + name + " is not defined");
  auto it = runtime_.find(Lower(name));
  if (it == runtime_.end()) return Fail(error, objectName + ": " + name + " is not offered by the runtime");
  target.import = it->second;
  return true;
}

bool LinkSymbols::Resolve(size_t o, uint32_t index, Target& target, std::string& error) const {
  const InputObject& object = (*objects_)[o];
  const coff::Symbol& symbol = object.coff.symbols[index];
  if (symbol.isAux) return Fail(error, object.name + ": a relocation names an aux record, not a symbol");
  if (symbol.section > 0) return Locate(o, symbol, target, error);
  if (symbol.section == coff::kUndefinedSection &&
      (symbol.storageClass == coff::kExternal || symbol.storageClass == coff::kWeakExternal))
    return ResolveUndefined(o, symbol, target, error);
  return Fail(error, object.name + ": " + CName(symbol.name) + " has no place in the image");
}

const Target* LinkSymbols::Find(const std::string& name) const {
  auto it = definitions_.find(name);
  return it == definitions_.end() ? nullptr : &it->second;
}
