// Linking the application's compiled code into the blocks of an image.
//
// Input: COFF object files from the cross compiler (i386, compiled with the
// restricted flags of application code) and the data the builder generates
// from the project description. Output: the four blocks.
//
// - Code sections (.text and .text$*) are laid out one after another in the
//   code block; calls and jumps between application functions are resolved
//   in place.
// - Data sections (.data*, .rdata*, .rodata*, .bss*) follow the data block's
//   two header words (entry function, project record), then the generated
//   data.
// - A call or jump (REL32) to an undefined symbol is an import: "_Name" is a
//   runtime import of "Name" (it must be one the runtime offers), a symbol
//   whose name begins with "!" is a member or library import as written. The
//   sites of one import are chained through their operands and described by
//   one import record.
// - An absolute (DIR32) reference from code to data becomes a data-reference
//   record; a pointer in data to data or to code becomes a data fixup.
// - Everything else is refused with a message naming the symbol and the
//   object file: an import the runtime does not offer, an absolute reference
//   from code to code or to an import, a global constructor, an unknown
//   section or relocation type, a name longer than 255 bytes.
//
// Symbol names here are the C names (without the leading underscore that
// i386 COFF adds), except import names beginning with "!".
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/image_builder/image_writer.h"

// Data generated from the project description, placed after the objects'
// data. Each relocation makes the u32 at `offset` the address of `symbol`
// (a code or data symbol of the objects, or one of `symbols`) plus the
// value already stored there.
struct GeneratedData {
  std::vector<uint8_t> bytes;
  std::map<std::string, uint32_t> symbols;  // name -> offset in `bytes`
  struct Relocation {
    uint32_t offset;
    std::string symbol;
  };
  std::vector<Relocation> relocations;
};

struct ObjectFile {
  std::string name;  // for messages
  std::vector<uint8_t> bytes;
};

struct LinkRequest {
  std::vector<ObjectFile> objects;
  GeneratedData generated;
  std::string entrySymbol;          // code: its offset goes into data word 0
  std::string projectRecordSymbol;  // data: its offset goes into data word 4
  std::set<std::string> runtimeNames;  // the names the runtime offers, as listed
};

struct LinkResult {
  ImageParts parts;
  std::map<std::string, uint32_t> codeSymbols;  // name -> offset in the code block
  std::map<std::string, uint32_t> dataSymbols;  // name -> offset in the data block
};

// Links the request; false with `error` set to a message naming the symbol
// and the object file at the first thing that cannot be expressed.
bool LinkImage(const LinkRequest& request, LinkResult& result, std::string& error);
