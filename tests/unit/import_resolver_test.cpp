// Imports resolved against real system libraries and the runtime's entry table.
// Runtime imports linked through the resolver, missing imports' messages and
// member imports are the image tests'.
#include "startup/import_resolver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "sdk/le_bytes.h"
#include "sdk/vellory.h"
#include "startup/entry_table.h"

namespace {

// Code with two call sites, at operand offsets 1 and 11, each the end of its chain.
struct CodeImage {
  std::vector<uint8_t> code = std::vector<uint8_t>(32, 0);
  LoadedBlocks Blocks() {
    return {code.data(), static_cast<uint32_t>(code.size()),
            reinterpret_cast<uint32_t>(code.data()), nullptr, 0, 0};
  }
  // The address a linked call at operand offset `site` reaches.
  uint32_t Target(uint32_t site) {
    return ReadU32LE(code.data() + site) + reinterpret_cast<uint32_t>(code.data()) + site + 4;
  }
  // Links two imports with a site each.
  bool Link(const std::string& first, const std::string& second, std::string& message) {
    std::vector<uint8_t> fixups = Import(1, first), more = Import(11, second);
    fixups.insert(fixups.end(), more.begin(), more.end());
    Win32ImportResolver resolver;
    return LinkCode(Blocks(), fixups.data(), fixups.size(), resolver, message);
  }
  static std::vector<uint8_t> Import(uint32_t head, const std::string& name) {
    std::vector<uint8_t> r = {1, 0, 0, 0, 0, static_cast<uint8_t>(name.size())};
    WriteU32LE(r.data() + 1, head);
    r.insert(r.end(), name.begin(), name.end());
    return r;
  }
};

TEST(LibraryImports, TwoImportsOfOneLibraryLoadItOnce) {
  CodeImage img;
  int before = LoadedLibraryCount();
  std::string message;
  ASSERT_TRUE(img.Link("!Xversion.dll!GetFileVersionInfoSizeA", "!XVERSION.DLL!VerQueryValueA", message))
      << message;
  EXPECT_EQ(LoadedLibraryCount(), before + 1);
  HMODULE version = GetModuleHandleA("version.dll");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(img.Target(1),
            reinterpret_cast<uint32_t>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
  EXPECT_EQ(img.Target(11), reinterpret_cast<uint32_t>(GetProcAddress(version, "VerQueryValueA")));
}

TEST(RuntimeImports, AreFoundInTheEntryTableInAnyLetterCase) {
  for (const char* name : {"", "RuntimeUnlockStrin", "RuntimeUnlockStringX"})
    EXPECT_EQ(FindEntryPoint(name), nullptr) << name;  // "": empty slots match nothing
  EXPECT_EQ(PluginLookupEntryPoint("NoSuchService"), nullptr);
  EXPECT_EQ(PluginLookupEntryPoint(nullptr), nullptr);
  EXPECT_EQ(PluginLookupEntryPoint("zorblockstring"), reinterpret_cast<void*>(&ZORBLockString));
  // Against the table itself: every filled slot, as written and in lower
  // case, is found by the sorted lookup as the walk from slot 0 finds it,
  // and the plug-ins' lookup answers it by name.
  for (int32_t i = 0; i < kEntriesFilled; ++i) {
    std::string lower = kEntryTable[i].name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindEntryPoint(kEntryTable[i].name), kEntryTable[i].function) << kEntryTable[i].name;
    EXPECT_EQ(FindEntryPoint(lower.c_str()), kEntryTable[i].function) << lower;
    EXPECT_EQ(PluginLookupEntryPoint(kEntryTable[i].name), kEntryTable[i].function) << lower;
  }
}

}  // namespace
