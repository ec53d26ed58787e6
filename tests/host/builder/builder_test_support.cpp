// Test helpers; see builder_test_support.h.
#include "tests/host/builder/builder_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sdk/le_bytes.h"

namespace builder_test {

Bytes Snippet(const std::string& name) {
  std::string path = std::string(BUILDER_INPUTS_DIR) + "/" + name + ".o";
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "missing compiled snippet " << path;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ObjectFile Object(const std::string& name) { return {name + ".o", Snippet(name)}; }

LinkRequest Request(std::initializer_list<std::string> snippets) {
  LinkRequest request;
  for (const std::string& name : snippets) request.objects.push_back(Object(name));
  request.objects.push_back(Object("entry"));
  request.generated.bytes.assign(16, 0);
  request.generated.symbols["ProjectRecord"] = 0;
  request.entrySymbol = "AppMain";
  request.projectRecordSymbol = "ProjectRecord";
  request.runtimeNames = {"RuntimeInit", "StringLen", "StringMid2"};
  return request;
}

LinkResult MustLink(const LinkRequest& request) {
  LinkResult result;
  std::string error;
  EXPECT_TRUE(LinkImage(request, result, error)) << error;
  return result;
}

std::string Refusal(const LinkRequest& request) {
  LinkResult result;
  std::string error;
  EXPECT_FALSE(LinkImage(request, result, error));
  return error;
}

bool FakeRuntime::Resolve(const ImportName& import, uint32_t& address, std::string& message) {
  std::string key = import.kind == ImportKind::Library
                        ? std::string(import.library) + "!" + std::string(import.routine)
                        : std::string(import.routine);
  auto it = addresses.find(key);
  if (it == addresses.end()) {
    message = "no import " + key;
    return false;
  }
  address = it->second;
  return true;
}

bool FakeRuntime::Defer(const ImportName& import, uint32_t head, std::string&) {
  deferred.emplace_back(std::string(import.member), head);
  return true;
}

Loaded Load(const LinkResult& linked) {
  Loaded loaded;
  loaded.code = linked.parts.blocks[image::kCode];
  loaded.data = linked.parts.blocks[image::kData];
  loaded.runtime.addresses = {{"StringLen", kStringLenAddress},
                              {"StringMid2", kStringMid2Address},
                              {"user32!MessageBoxA", kMessageBoxAddress}};
  LoadedBlocks blocks{loaded.code.data(), static_cast<uint32_t>(loaded.code.size()), kCodeAddress,
                      loaded.data.data(), static_cast<uint32_t>(loaded.data.size()), kDataAddress};
  const Bytes& codeFixups = linked.parts.blocks[image::kCodeFixups];
  const Bytes& dataFixups = linked.parts.blocks[image::kDataFixups];
  std::string message;
  EXPECT_TRUE(LinkCode(blocks, codeFixups.data(), static_cast<uint32_t>(codeFixups.size()),
                       loaded.runtime, message))
      << message;
  EXPECT_TRUE(RelocateData(blocks, dataFixups.data(), static_cast<uint32_t>(dataFixups.size()), message))
      << message;
  return loaded;
}

uint32_t Word(const Bytes& block, uint32_t offset) {
  if (offset + 4ull > block.size()) {
    ADD_FAILURE() << "word at " << offset << " lies outside a block of " << block.size();
    return 0;
  }
  return ReadU32LE(block.data() + offset);
}

std::pair<uint32_t, uint32_t> FunctionRange(const LinkResult& linked, const std::string& name) {
  auto it = linked.codeSymbols.find(name);
  if (it == linked.codeSymbols.end()) {
    ADD_FAILURE() << "no code symbol " << name;
    return {0, 0};
  }
  uint32_t end = static_cast<uint32_t>(linked.parts.blocks[image::kCode].size());
  for (const auto& [other, offset] : linked.codeSymbols)
    if (offset > it->second && offset < end) end = offset;
  return {it->second, end};
}

std::vector<uint32_t> BranchTargets(const Bytes& code, uint32_t start, uint32_t end) {
  std::vector<uint32_t> targets;
  for (uint32_t at = start; at < end && at + 5 <= code.size(); ++at) {
    uint32_t operand;
    if (code[at] == 0xE8 || code[at] == 0xE9)
      operand = at + 1;
    else if (code[at] == 0x0F && (code[at + 1] & 0xF0) == 0x80 && at + 6 <= code.size())
      operand = at + 2;
    else
      continue;
    targets.push_back(kCodeAddress + operand + 4 + ReadU32LE(code.data() + operand));
  }
  return targets;
}

size_t CountOf(const std::vector<uint32_t>& values, uint32_t value) {
  return static_cast<size_t>(std::count(values.begin(), values.end(), value));
}

CodeFixups ReadCodeFixups(const Bytes& fixups) {
  CodeFixups out;
  for (size_t p = 0; p < fixups.size();) {
    uint8_t type = fixups[p++];
    if (type == 1 && p + 5 <= fixups.size()) {
      uint32_t head = ReadU32LE(fixups.data() + p);
      size_t n = fixups[p + 4];
      p += 5;
      if (p + n > fixups.size()) break;
      out.imports.emplace_back(std::string(fixups.begin() + p, fixups.begin() + p + n), head);
      p += n;
    } else if (type == 2 && p + 4 <= fixups.size()) {
      out.dataReferences.push_back(ReadU32LE(fixups.data() + p));
      p += 4;
    } else {
      ADD_FAILURE() << "unexpected code fixup byte " << int(type) << " at " << p - 1;
    }
  }
  return out;
}

}  // namespace builder_test
