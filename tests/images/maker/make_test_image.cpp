// make-test-image: writes the four blocks of small hand-assembled test
// applications, which vellory-image then turns into programs. Each one
// exercises the loader end to end: call-site chains (calls and a tail jump),
// data references, relocated data and the entry function.
//
//   make-test-image FOLDER exit N [IMPORT]  exits with N through ExitProcess,
//        imported as IMPORT (default "!Xkernel32.dll!ExitProcess"); N is read
//        through a relocated pointer in the data block
//   make-test-image FOLDER return           the entry function just returns
//   make-test-image FOLDER bad-data-ref | bad-chain | bad-relocation | bad-entry
//        an image damaged in one place
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

void PutU32(Bytes& b, uint32_t v) {
  uint8_t w[4];
  WriteU32LE(w, v);
  b.insert(b.end(), w, w + 4);
}
void PutU16(Bytes& b, uint16_t v) {
  uint8_t w[2];
  WriteU16LE(w, v);
  b.insert(b.end(), w, w + 2);
}

// Code with its fixups: calls to the same import are chained through their
// operands exactly as a compiler's output would be before linking.
struct Assembler {
  Bytes code, fixups;
  std::map<std::string, uint32_t> lastSite;  // newest site of each import
  std::map<std::string, uint32_t> firstSite;

  void Emit(std::initializer_list<uint8_t> bytes) { code.insert(code.end(), bytes); }
  void Branch(uint8_t opcode, const std::string& import) {
    code.push_back(opcode);
    uint32_t site = static_cast<uint32_t>(code.size());
    PutU32(code, 0);
    if (lastSite.count(import))
      WriteU32LE(code.data() + lastSite[import], site);
    else
      firstSite[import] = site;
    lastSite[import] = site;
  }
  void Call(const std::string& import) { Branch(0xE8, import); }
  void TailJump(const std::string& import) { Branch(0xE9, import); }
  // mov eax, [data + offset]
  void LoadFromData(uint32_t dataOffset) {
    code.push_back(0xA1);
    DataReference(static_cast<uint32_t>(code.size()));
    PutU32(code, dataOffset);
  }
  void DataReference(uint32_t site) {
    fixups.push_back(image::kDataReferenceRecord);
    PutU32(fixups, site);
  }
  void ImportRecords() {
    for (const auto& [name, head] : firstSite) {
      fixups.push_back(image::kImportRecord);
      PutU32(fixups, head);
      fixups.push_back(static_cast<uint8_t>(name.size()));
      fixups.insert(fixups.end(), name.begin(), name.end());
    }
  }
};

const char kPid[] = "!Xkernel32.dll!GetCurrentProcessId";
const char kExit[] = "!Xkernel32.dll!ExitProcess";

struct TestImage {
  Bytes blocks[image::kBlockCount];
};

// Data block: entry offset, project record offset, pointer to the exit code,
// padding, the exit code. Relocated by one code run and one data run of two.
Bytes ExitData(uint32_t exitCode, Bytes& dataFixups) {
  Bytes data;
  PutU32(data, 0);   // entry function at code offset 0
  PutU32(data, 8);   // project record (none yet)
  PutU32(data, 16);  // -> exit code
  PutU32(data, 0);
  PutU32(data, exitCode);
  PutU16(dataFixups, image::kCodeRun);
  PutU16(dataFixups, image::kDataRun | 1);
  return data;
}

TestImage ExitImage(uint32_t exitCode, const std::string& exitImport) {
  Assembler a;
  a.Emit({0x55, 0x89, 0xE5});  // push ebp; mov ebp, esp
  a.Call(kPid);                // a chain of two sites
  a.Call(kPid);
  a.LoadFromData(8);           // eax = pointer to the exit code
  a.Emit({0x8B, 0x00});        // mov eax, [eax]
  a.Emit({0x50, 0x6A, 0x00});  // push eax; push 0 (return address)
  a.TailJump(exitImport);      // ExitProcess(eax) by a tail jump
  a.Emit({0xC9, 0xC3});
  a.ImportRecords();
  a.fixups.push_back(0x77);  // an unknown record type is skipped
  TestImage t;
  t.blocks[image::kData] = ExitData(exitCode, t.blocks[image::kDataFixups]);
  t.blocks[image::kCode] = a.code;
  t.blocks[image::kCodeFixups] = a.fixups;
  return t;
}

TestImage ReturnImage() {
  Assembler a;
  a.Emit({0x55, 0x89, 0xE5});
  a.Call(kPid);
  a.Emit({0xC9, 0xC3});  // leave; ret
  a.ImportRecords();
  TestImage t;
  t.blocks[image::kData] = ExitData(0, t.blocks[image::kDataFixups]);
  t.blocks[image::kCode] = a.code;
  t.blocks[image::kCodeFixups] = a.fixups;
  return t;
}

bool Damage(TestImage& t, const std::string& how) {
  Bytes& cf = t.blocks[image::kCodeFixups];
  if (how == "bad-data-ref") {
    cf.push_back(image::kDataReferenceRecord);
    PutU32(cf, static_cast<uint32_t>(t.blocks[image::kCode].size()) - 2);
  } else if (how == "bad-chain") {
    Assembler a;
    a.firstSite["!Xkernel32.dll!GetTickCount"] = 0x10000;
    a.ImportRecords();
    cf.insert(cf.begin(), a.fixups.begin(), a.fixups.end());
  } else if (how == "bad-relocation") {
    PutU16(t.blocks[image::kDataFixups], image::kAdvance | 0x0FFF);  // past the 20-byte block
    PutU16(t.blocks[image::kDataFixups], image::kDataRun);
  } else if (how == "bad-entry") {
    WriteU32LE(t.blocks[image::kData].data(), 0x100000);
  } else {
    return false;
  }
  return true;
}

bool Write(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make-test-image FOLDER SCENARIO [ARGS]\n");
    return 2;
  }
  std::string folder = argv[1], scenario = argv[2];
  TestImage t;
  if (scenario == "exit" && argc >= 4) {
    t = ExitImage(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 0)),
                  argc >= 5 ? argv[4] : kExit);
  } else if (scenario == "return") {
    t = ReturnImage();
  } else {
    t = ExitImage(3, kExit);
    if (!Damage(t, scenario)) {
      std::fprintf(stderr, "make-test-image: unknown scenario %s\n", scenario.c_str());
      return 2;
    }
  }
  const char* names[image::kBlockCount] = {"code.bin", "code-fixups.bin", "data.bin",
                                           "data-fixups.bin"};
  for (int i = 0; i < image::kBlockCount; ++i)
    if (!Write(folder + "/" + names[i], t.blocks[i])) {
      std::fprintf(stderr, "make-test-image: cannot write in %s\n", folder.c_str());
      return 1;
    }
  return 0;
}
