// LinkImage; see image_linker.h. The stages run in order, each over the
// results of the one before: read and classify the objects, choose among
// COMDAT copies, lay the sections out, collect the symbols, apply every
// relocation (resolving calls in place, chaining import sites, noting data
// references and pointers), fill the data header, then encode the fixups.
#include "tools/image_builder/image_linker.h"

#include <algorithm>
#include <cstdio>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "tools/image_builder/comdat_selection.h"
#include "tools/image_builder/fixup_encoding.h"
#include "tools/image_builder/image_layout.h"
#include "tools/image_builder/link_symbols.h"

namespace {

constexpr char kProjectData[] = "the project data";

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

// What the relocations produce besides the patched bytes.
struct Links {
  std::map<std::string, std::vector<uint32_t>> importSites;  // import name -> code offsets
  std::vector<uint32_t> dataReferences;                      // code offsets holding data offsets
  std::vector<DataPointer> pointers;                         // data offsets holding offsets
};

bool RefuseSection(const InputObject& object, const coff::Section& section, SectionRole role,
                   std::string& error) {
  switch (role) {
    case SectionRole::Constructors:
      return Fail(error, object.name + ": section " + section.name +
                             " holds global constructors or destructors, which the runtime never runs");
    case SectionRole::ThreadLocal:
      return Fail(error, object.name + ": section " + section.name +
                             " holds thread-local data, which the runtime does not provide");
    case SectionRole::Unknown:
      return Fail(error, object.name + ": section " + section.name + " has no place in the image");
    default:
      return true;
  }
}

bool ReadInputs(const std::vector<ObjectFile>& files, std::vector<InputObject>& objects, std::string& error) {
  objects.resize(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    InputObject& object = objects[i];
    object.name = files[i].name;
    std::string why;
    if (!coff::ReadObject(files[i].bytes, object.coff, why)) return Fail(error, object.name + ": " + why);
    for (const coff::Section& section : object.coff.sections) {
      SectionRole role = ClassifySection(section.name, section.characteristics);
      if (!RefuseSection(object, section, role, error)) return false;
      object.roles.push_back(role);
      object.kept.push_back(IsLoadedRole(role));
    }
  }
  return true;
}

// Relocations that overlap would corrupt each other's operands, and an
// import chain running through them would not end where it should.
bool CheckSites(const InputObject& object, const coff::Section& section, std::string& error) {
  std::vector<uint32_t> offsets;
  for (const coff::Relocation& r : section.relocations) {
    if (section.bytes.empty())
      return Fail(error, object.name + ": section " + section.name + " has relocations but no contents");
    if (static_cast<uint64_t>(r.offset) + 4 > section.bytes.size())
      return Fail(error, object.name + ": a relocation of section " + section.name + " lies outside it");
    offsets.push_back(r.offset);
  }
  std::sort(offsets.begin(), offsets.end());
  for (size_t i = 1; i < offsets.size(); ++i)
    if (offsets[i] < offsets[i - 1] + 4)
      return Fail(error, object.name + ": relocations of section " + section.name + " overlap at offset " +
                             std::to_string(offsets[i]));
  return true;
}

// The compiler refers to local symbols through their section's symbol plus
// an offset; messages name the symbol at that offset when there is one.
std::string Describe(const InputObject& object, uint32_t index, uint32_t addend) {
  const coff::Symbol& symbol = object.coff.symbols[index];
  bool isSection = symbol.section > 0 && symbol.storageClass == coff::kStatic && symbol.value == 0 &&
                   symbol.name == object.coff.sections[symbol.section - 1].name;
  if (!isSection) return CName(symbol.name);
  for (const coff::Symbol& other : object.coff.symbols)
    if (!other.isAux && other.section == symbol.section && other.value == addend && other.name != symbol.name)
      return CName(other.name);
  if (addend == 0) return symbol.name;
  char offset[16];
  std::snprintf(offset, sizeof offset, "+0x%X", addend);
  return symbol.name + offset;
}

bool ApplyInCode(const InputObject& object, const coff::Relocation& r, const Target& target,
                 uint8_t* site, uint32_t offset, Links& links, std::string& error) {
  uint32_t addend = ReadU32LE(site);
  if (r.type == coff::kRel32) {
    if (target.kind == TargetKind::Code) {
      WriteU32LE(site, target.offset + addend - (offset + 4));
      return true;
    }
    if (target.kind == TargetKind::Data)
      return Fail(error, object.name + ": a relative reference from code to data (" +
                             Describe(object, r.symbol, addend) + ") cannot be expressed");
    if (addend != 0)
      return Fail(error, object.name + ": a call to " + target.import + " + " + std::to_string(addend) +
                             " cannot be linked; an import can only be called or jumped to");
    links.importSites[target.import].push_back(offset);
    return true;
  }
  if (target.kind == TargetKind::Code)
    return Fail(error, object.name + ": an absolute reference from code to code (" +
                           Describe(object, r.symbol, addend) + ") cannot be expressed; keep the address in data");
  if (target.kind == TargetKind::Import)
    return Fail(error, object.name + ": the address of the import " + target.import +
                           " cannot be taken; an import can only be called or jumped to");
  WriteU32LE(site, target.offset + addend);
  links.dataReferences.push_back(offset);
  return true;
}

bool ApplyInData(const InputObject& object, const coff::Relocation& r, const Target& target,
                 uint8_t* site, uint32_t offset, Links& links, std::string& error) {
  if (r.type == coff::kRel32)
    return Fail(error, object.name + ": a relative reference in data (to " +
                           Describe(object, r.symbol, ReadU32LE(site)) + ") cannot be expressed");
  if (target.kind == TargetKind::Import)
    return Fail(error, object.name + ": a pointer in data to the import " + target.import +
                           " cannot be expressed");
  WriteU32LE(site, target.offset + ReadU32LE(site));
  links.pointers.push_back({offset, target.kind == TargetKind::Code ? PointerKind::Code : PointerKind::Data});
  return true;
}

bool ApplySection(const InputObject& object, size_t o, size_t s, const LinkSymbols& symbols,
                  Layout& layout, Links& links, std::string& error) {
  const coff::Section& section = object.coff.sections[s];
  if (!CheckSites(object, section, error)) return false;
  bool inCode = object.roles[s] == SectionRole::Code;
  std::vector<uint8_t>& block = inCode ? layout.code : layout.data;
  for (const coff::Relocation& r : section.relocations) {
    uint32_t offset = layout.base[o][s] + r.offset;
    uint8_t* site = block.data() + offset;
    if (r.type != coff::kDir32 && r.type != coff::kRel32) {
      char type[8];
      std::snprintf(type, sizeof type, "0x%X", r.type);
      return Fail(error, object.name + ": relocation type " + type + " (to " +
                             Describe(object, r.symbol, ReadU32LE(site)) + ") in section " + section.name +
                             " cannot be expressed");
    }
    Target target;
    if (!symbols.Resolve(o, r.symbol, target, error)) return false;
    bool applied = inCode ? ApplyInCode(object, r, target, site, offset, links, error)
                          : ApplyInData(object, r, target, site, offset, links, error);
    if (!applied) return false;
  }
  return true;
}

bool ApplyGenerated(const GeneratedData& generated, const LinkSymbols& symbols, Layout& layout,
                    Links& links, std::string& error) {
  for (const GeneratedData::Relocation& r : generated.relocations) {
    if (static_cast<uint64_t>(r.offset) + 4 > generated.bytes.size())
      return Fail(error, std::string(kProjectData) + ": the pointer to " + r.symbol + " at offset " +
                             std::to_string(r.offset) + " lies outside it");
    const Target* target = symbols.Find(r.symbol);
    if (!target) return Fail(error, std::string(kProjectData) + ": " + r.symbol + " is not defined");
    uint32_t offset = layout.generatedBase + r.offset;
    uint8_t* site = layout.data.data() + offset;
    WriteU32LE(site, target->offset + ReadU32LE(site));
    links.pointers.push_back({offset, target->kind == TargetKind::Code ? PointerKind::Code : PointerKind::Data});
  }
  return true;
}

bool FillHeader(const LinkRequest& request, const LinkSymbols& symbols, Layout& layout, Links& links,
                std::string& error) {
  const Target* entry = symbols.Find(request.entrySymbol);
  if (!entry || entry->kind != TargetKind::Code)
    return Fail(error, "the entry function " + request.entrySymbol + " is not defined in the code");
  const Target* project = symbols.Find(request.projectRecordSymbol);
  if (!project || project->kind != TargetKind::Data)
    return Fail(error, "the project record " + request.projectRecordSymbol + " is not defined in the data");
  WriteU32LE(layout.data.data() + image::kEntryOffsetField, entry->offset);
  WriteU32LE(layout.data.data() + image::kProjectRecordField, project->offset);
  links.pointers.push_back({image::kEntryOffsetField, PointerKind::Code});
  links.pointers.push_back({image::kProjectRecordField, PointerKind::Data});
  return true;
}

// Each site's operand becomes the offset of the next site of the same
// import; the last holds 0.
std::vector<ImportChain> ChainImports(Links& links, std::vector<uint8_t>& code) {
  std::vector<ImportChain> chains;
  for (auto& [name, sites] : links.importSites) {
    std::sort(sites.begin(), sites.end());
    for (size_t i = 0; i < sites.size(); ++i)
      WriteU32LE(code.data() + sites[i], i + 1 < sites.size() ? sites[i + 1] : 0);
    chains.push_back({name, sites.front()});
  }
  return chains;
}

void ExportSymbols(const LinkSymbols& symbols, LinkResult& result) {
  for (const auto& [name, target] : symbols.definitions()) {
    if (target.kind == TargetKind::Code) result.codeSymbols[name] = target.offset;
    if (target.kind == TargetKind::Data) result.dataSymbols[name] = target.offset;
  }
}

}  // namespace

bool LinkImage(const LinkRequest& request, LinkResult& result, std::string& error) {
  result = LinkResult{};
  std::vector<InputObject> objects;
  Layout layout;
  LinkSymbols symbols;
  if (!ReadInputs(request.objects, objects, error) || !SelectComdatCopies(objects, error) ||
      !LayOutImage(objects, request.generated.bytes, layout, error) ||
      !symbols.Build(objects, layout, request.generated, request.runtimeNames, error))
    return false;

  Links links;
  for (size_t o = 0; o < objects.size(); ++o)
    for (size_t s = 0; s < objects[o].coff.sections.size(); ++s)
      if (objects[o].kept[s] && !ApplySection(objects[o], o, s, symbols, layout, links, error)) return false;
  if (!ApplyGenerated(request.generated, symbols, layout, links, error) ||
      !FillHeader(request, symbols, layout, links, error))
    return false;

  std::vector<ImportChain> chains = ChainImports(links, layout.code);
  std::sort(links.dataReferences.begin(), links.dataReferences.end());
  ImageParts& parts = result.parts;
  if (!EncodeCodeFixups(chains, links.dataReferences, parts.blocks[image::kCodeFixups], error) ||
      !EncodeDataFixups(links.pointers, parts.blocks[image::kDataFixups], error))
    return false;
  parts.blocks[image::kCode] = std::move(layout.code);
  parts.blocks[image::kData] = std::move(layout.data);
  ExportSymbols(symbols, result);
  return true;
}
