// make-test-image: the four blocks of small hand-assembled test applications
// for vellory-image: call-site chains, data references, relocated data.
//   make-test-image FOLDER exit N [IMPORT]  exits with N, read through a relocated
//        pointer, by IMPORT (default "!Xkernel32.dll!ExitProcess")
//   make-test-image FOLDER bad-chain | bad-relocation | bad-entry   an exit image damaged in one place
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <typename T>
void Put(Bytes& b, T v) {
  for (size_t i = 0; i < sizeof v; ++i) b.push_back(static_cast<uint8_t>(v >> 8 * i));
}

// Code with its fixups: calls to one import chained through their operands.
struct Assembler {
  Bytes code, fixups;
  std::map<std::string, uint32_t> firstSite, lastSite;  // of each import

  void Emit(std::initializer_list<uint8_t> bytes) { code.insert(code.end(), bytes); }
  void Branch(uint8_t opcode, const std::string& import) {
    code.push_back(opcode);
    uint32_t site = static_cast<uint32_t>(code.size());
    Put<uint32_t>(code, 0);
    if (lastSite.count(import))
      WriteU32LE(code.data() + lastSite[import], site);
    else
      firstSite[import] = site;
    lastSite[import] = site;
  }
  // mov eax, [data + offset]
  void LoadFromData(uint32_t dataOffset) {
    code.push_back(0xA1);
    fixups.push_back(image::kDataReferenceRecord);
    Put<uint32_t>(fixups, static_cast<uint32_t>(code.size()));
    Put<uint32_t>(code, dataOffset);
  }
  void ImportRecords() {
    for (const auto& [name, head] : firstSite) {
      fixups.push_back(image::kImportRecord);
      Put<uint32_t>(fixups, head);
      fixups.push_back(static_cast<uint8_t>(name.size()));
      fixups.insert(fixups.end(), name.begin(), name.end());
    }
  }
};

const char kPid[] = "!Xkernel32.dll!GetCurrentProcessId";

// Two chained calls, then ExitProcess of the exit code read through a pointer
// in data, by a tail jump. Data: entry offset, project record offset, pointer
// to the exit code, padding, the exit code.
void Assemble(Bytes (&blocks)[image::kBlockCount], uint32_t exitCode, const std::string& exitImport) {
  Assembler a;
  a.Emit({0x55, 0x89, 0xE5});  // push ebp; mov ebp, esp
  a.Branch(0xE8, kPid);        // call
  a.Branch(0xE8, kPid);
  a.LoadFromData(8);           // eax = pointer to the exit code
  a.Emit({0x8B, 0x00});        // mov eax, [eax]
  a.Emit({0x50, 0x6A, 0x00});  // push eax; push 0 (return address)
  a.Branch(0xE9, exitImport);  // jmp: ExitProcess does not return
  a.ImportRecords();
  a.fixups.push_back(0x77);  // an unknown record type is skipped
  blocks[image::kCode] = a.code;
  blocks[image::kCodeFixups] = a.fixups;
  for (uint32_t word : {0u, 8u, 16u, 0u, exitCode}) Put<uint32_t>(blocks[image::kData], word);
  Put<uint16_t>(blocks[image::kDataFixups], image::kCodeRun);
  Put<uint16_t>(blocks[image::kDataFixups], image::kDataRun | 1);
}

bool Damage(Bytes (&blocks)[image::kBlockCount], const std::string& how) {
  if (how == "bad-chain") {
    Assembler a;
    a.firstSite["!Xkernel32.dll!GetTickCount"] = 0x10000;
    a.ImportRecords();
    blocks[image::kCodeFixups].insert(blocks[image::kCodeFixups].begin(), a.fixups.begin(), a.fixups.end());
  } else if (how == "bad-relocation") {
    Put<uint16_t>(blocks[image::kDataFixups], image::kAdvance | 0x0FFF);  // past the 20-byte block
    Put<uint16_t>(blocks[image::kDataFixups], image::kDataRun);
  } else if (how == "bad-entry") {
    WriteU32LE(blocks[image::kData].data(), 0x100000);
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make-test-image FOLDER SCENARIO [ARGS]\n");
    return 2;
  }
  std::string folder = argv[1], scenario = argv[2];
  Bytes blocks[image::kBlockCount];
  bool exits = scenario == "exit" && argc >= 4;
  uint32_t exitCode = exits ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 0)) : 3;
  Assemble(blocks, exitCode, exits && argc >= 5 ? argv[4] : "!Xkernel32.dll!ExitProcess");
  if (!exits && !Damage(blocks, scenario)) {
    std::fprintf(stderr, "make-test-image: unknown scenario %s\n", scenario.c_str());
    return 2;
  }
  const char* names[image::kBlockCount] = {"code.bin", "code-fixups.bin", "data.bin", "data-fixups.bin"};
  for (int i = 0; i < image::kBlockCount; ++i) {
    std::ofstream out(folder + "/" + names[i], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(blocks[i].data()), static_cast<std::streamsize>(blocks[i].size()));
    if (!out) {
      std::fprintf(stderr, "make-test-image: cannot write in %s\n", folder.c_str());
      return 1;
    }
  }
  return 0;
}
