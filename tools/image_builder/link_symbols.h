// The symbols of a link: what each name stands for once the sections are
// laid out, and what a relocation's symbol resolves to. A name is defined by
// an object's external symbol in a kept section, by a weak symbol's default
// when nothing else defines it, or by the generated data; an undefined name
// that nothing defines is an import, if it is one the image can express.
//
// Names are kept in their C form: i386 COFF puts "_" before every C name,
// and the project description and the runtime's list know them without it.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/image_builder/image_layout.h"
#include "tools/image_builder/image_linker.h"
#include "tools/image_builder/link_input.h"

enum class TargetKind { Code, Data, Import };

// What a relocation reaches: an offset in the code or data block, or an import.
struct Target {
  TargetKind kind = TargetKind::Code;
  uint32_t offset = 0;
  std::string import;  // Import: the name for the import record
};

// The C form of an assembler name: without the one leading "_".
std::string CName(const std::string& name);

class LinkSymbols {
 public:
  // Collects the definitions; false on a name defined twice, a common symbol,
  // or generated data naming a place outside itself.
  bool Build(const std::vector<InputObject>& objects, const Layout& layout,
             const GeneratedData& generated, const std::set<std::string>& runtimeNames,
             std::string& error);

  // Resolves symbol `index` of object `o`; the message names the symbol and the object.
  bool Resolve(size_t o, uint32_t index, Target& target, std::string& error) const;

  // A defined name (C form), or null.
  const Target* Find(const std::string& name) const;

  const std::map<std::string, Target>& definitions() const { return definitions_; }

 private:
  bool Define(const std::string& name, const Target& target, const std::string& where,
              std::string& error);
  bool Locate(size_t o, const coff::Symbol& symbol, Target& target, std::string& error) const;
  bool ResolveUndefined(size_t o, const coff::Symbol& symbol, Target& target, std::string& error) const;

  const std::vector<InputObject>* objects_ = nullptr;
  const Layout* layout_ = nullptr;
  std::map<std::string, Target> definitions_;
  std::map<std::string, std::string> definedIn_;  // name -> object file (or "the project data")
  std::map<std::string, std::string> runtime_;    // lower-case name -> name as the runtime lists it
};
