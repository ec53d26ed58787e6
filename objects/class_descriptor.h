// Reading one class descriptor of the application image, before anything is
// built from it. Pure and checked against the blocks: every word, text and
// table must lie in the data block and every code address in the code
// block, and a descriptor that leaves them is refused whole. Addresses are
// kept as the 32-bit words the image stores, so the reader runs (and is
// fuzzed) on the host as in the program.
//
// A kind-0 descriptor: instanceSize, name, superclass index, hasInitializers
// [, constructor, destructor], isInterface, interfaces (count, indexes),
// methods (count, name/code pairs, or names alone for an interface), event
// handlers (count, name/code/key), menu handlers (count, name/code), vtable
// (count, code addresses; used in place). A kind-1 descriptor: the name of a
// class defined elsewhere.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "objects/memory_span.h"

struct DescribedMember {
  std::string_view name;
  uint32_t code;  // 0 for an interface's method
  uint32_t key;   // event handlers only
};

struct ClassDescriptor {
  uint32_t kind = 0;
  std::string_view name;
  uint32_t instanceSize = 0;
  uint32_t superclass = 0xFFFFFFFFu;  // an index of the class list; all ones for none
  uint32_t constructor = 0, destructor = 0;
  bool isInterface = false;
  std::vector<uint32_t> interfaces;
  std::vector<DescribedMember> methods, handlers, menuHandlers;
  uint32_t vtable = 0;  // the address of its first entry, in the data block
  uint32_t vtableCount = 0;
};

// Reads the descriptor at `address`; false when it is of another kind or
// any part of it lies outside its block.
bool ReadClassDescriptor(uint32_t address, MemorySpan data, MemorySpan code, ClassDescriptor& out);

// The bytes of the object header every object starts with.
inline constexpr uint32_t kObjectHeaderBytes = 24;

// Whether objects of a kind-0 class of `instanceSize` bytes can be made: the
// header fits, and the size stays far enough below 4 GB that rounding it to
// whole words cannot wrap.
bool InstanceSizeFits(uint32_t instanceSize);
