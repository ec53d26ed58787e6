// What the image builder's tests share: the compiled snippets, a link
// request with the usual entry, project record and runtime names, loading a
// linked image the way the runtime does (its own LinkCode and RelocateData,
// at fixed addresses, with a fake import resolver), and reading the linked
// code's branches and the code fixup records back without the builder's help.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "startup/code_linker.h"
#include "tools/image_builder/image_linker.h"

namespace builder_test {

using Bytes = std::vector<uint8_t>;

inline constexpr uint32_t kCodeAddress = 0x00400000;
inline constexpr uint32_t kDataAddress = 0x01000000;
inline constexpr uint32_t kStringLenAddress = 0x7E000010;
inline constexpr uint32_t kStringMid2Address = 0x7E000020;
inline constexpr uint32_t kMessageBoxAddress = 0x7E100000;

// The object file compiled from builder_inputs/<name>.cpp or .s.
Bytes Snippet(const std::string& name);
ObjectFile Object(const std::string& name);

// The snippets (as "<name>.o") and entry.o, the entry "AppMain", a small
// generated block defining "ProjectRecord", and the runtime names the
// snippets call.
LinkRequest Request(std::initializer_list<std::string> snippets);

// Links, failing the test with the builder's message if it refuses; or
// fails the test if the builder links, and gives its message.
LinkResult MustLink(const LinkRequest& request);
std::string Refusal(const LinkRequest& request);

struct FakeRuntime : ImportResolver {
  std::map<std::string, uint32_t> addresses;  // runtime name, or "library!routine"
  std::vector<std::pair<std::string, uint32_t>> deferred;  // member import, chain head
  bool Resolve(const ImportName& import, uint32_t& address, std::string& message) override;
  bool Defer(const ImportName& import, uint32_t head, std::string& message) override;
};

// The blocks after the loader's two passes.
struct Loaded {
  Bytes code;
  Bytes data;
  FakeRuntime runtime;
};
Loaded Load(const LinkResult& linked);

uint32_t Word(const Bytes& block, uint32_t offset);

// A function's bytes: from its symbol to the next code symbol or the end.
std::pair<uint32_t, uint32_t> FunctionRange(const LinkResult& linked, const std::string& name);

// The address every rel32 call, jmp or conditional jump starting in
// [start, end) reaches, with the code at kCodeAddress.
std::vector<uint32_t> BranchTargets(const Bytes& code, uint32_t start, uint32_t end);
size_t CountOf(const std::vector<uint32_t>& values, uint32_t value);

// The code fixup records, read independently of the builder.
struct CodeFixups {
  std::vector<std::pair<std::string, uint32_t>> imports;  // name, head
  std::vector<uint32_t> dataReferences;
};
CodeFixups ReadCodeFixups(const Bytes& fixups);

}  // namespace builder_test
