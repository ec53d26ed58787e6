// What becomes of each section of an object file in the image. Sections are
// recognised by name, the way the compiler names them, because the name is
// what says whether bytes are code, data, constructors or thread-local data;
// only sections no linker would load are told by their flags.
#pragma once
#include <cstdint>
#include <string_view>

enum class SectionRole {
  Code,          // .text family: laid out in the code block
  Data,          // .data, .rdata, .rodata families: laid out in the data block
  Bss,           // .bss family: zero-filled, after all data sections
  Ignored,       // link directives, comments, debug information
  Constructors,  // refused: the runtime never runs global constructors or destructors
  ThreadLocal,   // refused: the runtime sets up no thread-local storage
  Unknown,       // refused: loaded bytes the image has no place for
};

SectionRole ClassifySection(std::string_view name, uint32_t characteristics);
