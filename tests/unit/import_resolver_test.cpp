// Library imports resolved against real system libraries under Wine, and the
// messages the user sees when one is missing, word for word.
#include "startup/import_resolver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/le_bytes.h"
#include "startup/deferred_imports.h"
#include "startup/entry_table.h"
#include "startup/process_globals.h"

namespace {

struct CodeImage {
  std::vector<uint8_t> code = std::vector<uint8_t>(32, 0x90);
  LoadedBlocks Blocks() {
    return {code.data(), static_cast<uint32_t>(code.size()),
            reinterpret_cast<uint32_t>(code.data()), nullptr, 0, 0};
  }
  // The address a linked call at operand offset `site` reaches.
  uint32_t Target(uint32_t site) {
    return ReadU32LE(code.data() + site) + reinterpret_cast<uint32_t>(code.data()) + site + 4;
  }
};

std::vector<uint8_t> Import(uint32_t head, const std::string& name) {
  std::vector<uint8_t> r = {1, 0, 0, 0, 0, static_cast<uint8_t>(name.size())};
  WriteU32LE(r.data() + 1, head);
  r.insert(r.end(), name.begin(), name.end());
  return r;
}

bool Link(CodeImage& img, const std::vector<uint8_t>& fixups, std::string& message) {
  Win32ImportResolver resolver;
  return LinkCode(img.Blocks(), fixups.data(), fixups.size(), resolver, message);
}

TEST(LibraryImports, TwoImportsOfOneLibraryLoadItOnce) {
  CodeImage img;
  WriteU32LE(img.code.data() + 1, 0);  // two chains of one site each
  WriteU32LE(img.code.data() + 11, 0);
  std::vector<uint8_t> fixups = Import(1, "!Xversion.dll!GetFileVersionInfoSizeA");
  std::vector<uint8_t> second = Import(11, "!XVERSION.DLL!VerQueryValueA");
  fixups.insert(fixups.end(), second.begin(), second.end());
  int before = LoadedLibraryCount();
  std::string message;
  ASSERT_TRUE(Link(img, fixups, message)) << message;
  EXPECT_EQ(LoadedLibraryCount(), before + 1);
  HMODULE version = GetModuleHandleA("version.dll");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(img.Target(1),
            reinterpret_cast<uint32_t>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
  EXPECT_EQ(img.Target(11), reinterpret_cast<uint32_t>(GetProcAddress(version, "VerQueryValueA")));
}

TEST(LibraryImports, AMissingLibraryIsNamedInTheMessage) {
  CodeImage img;
  std::string message;
  EXPECT_FALSE(Link(img, Import(1, "!Xnosuchlib.dll!Anything"), message));
  EXPECT_EQ(message,
            "The application could not be loaded because a necessary shared library "
            "nosuchlib.dll could not be found.");
}

TEST(LibraryImports, AMissingRoutineIsNamedWithItsLibrary) {
  CodeImage img;
  std::string message;
  EXPECT_FALSE(Link(img, Import(1, "!Xkernel32.dll!NoSuchRoutine"), message));
  EXPECT_EQ(message,
            "The application could not be loaded because the routine NoSuchRoutine could not "
            "be found in the shared library kernel32.dll.");
}

TEST(RuntimeImports, LinkToTheEntryTableInAnyLetterCase) {
  CodeImage img;
  WriteU32LE(img.code.data() + 1, 11);  // one chain of two sites
  WriteU32LE(img.code.data() + 11, 0);
  std::string message;
  ASSERT_TRUE(Link(img, Import(1, "runtimelockOBJECT"), message)) << message;
  EXPECT_EQ(img.Target(1), reinterpret_cast<uint32_t>(&RuntimeLockObject));
  EXPECT_EQ(img.Target(11), reinterpret_cast<uint32_t>(&RuntimeLockObject));
  EXPECT_EQ(FindEntryPoint("RUNTIMEUNLOCKSTRING"), reinterpret_cast<void*>(&RuntimeUnlockString));
  EXPECT_EQ(FindEntryPoint(""), nullptr);  // empty slots match nothing
  EXPECT_EQ(FindEntryPoint("RuntimeUnlockStrin"), nullptr);
  EXPECT_EQ(FindEntryPoint("RuntimeUnlockStringX"), nullptr);
  // Against the table itself: every filled slot, as written and in lower
  // case, is found by the sorted lookup as the walk from slot 0 finds it.
  for (int32_t i = 0; i < kEntriesFilled; ++i) {
    std::string lower = kEntryTable[i].name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindEntryPoint(kEntryTable[i].name), kEntryTable[i].function) << kEntryTable[i].name;
    EXPECT_EQ(FindEntryPoint(lower.c_str()), kEntryTable[i].function) << lower;
  }
}

TEST(RuntimeImports, ANameTheRuntimeLacksStopsTheLoad) {
  CodeImage img;
  std::string message;
  EXPECT_FALSE(Link(img, Import(1, "StringFoo"), message));
  EXPECT_EQ(message,
            "The application could not be loaded because the routine StringFoo could not be "
            "found in the runtime.");
}

TEST(RuntimeImports, ThePluginLookupFindsTheSameFunctions) {
  EXPECT_EQ(PluginLookupEntryPoint("ZORBLockString"), reinterpret_cast<void*>(&ZORBLockString));
  EXPECT_EQ(PluginLookupEntryPoint("zorblockstring"), reinterpret_cast<void*>(&ZORBLockString));
  EXPECT_EQ(PluginLookupEntryPoint("NoSuchService"), nullptr);
  EXPECT_EQ(PluginLookupEntryPoint(nullptr), nullptr);
  for (int32_t i = 0; i < kEntriesFilled; ++i)  // every filled slot answers by name
    EXPECT_EQ(PluginLookupEntryPoint(kEntryTable[i].name), kEntryTable[i].function)
        << kEntryTable[i].name;
}

int32_t __cdecl TestGetter(ObjectRecord*, uint32_t) { return 5; }
void __cdecl TestSetter(ObjectRecord*, uint32_t, int32_t) {}

TEST(MemberImports, AreLinkedOnceTheirClassesExist) {
  CodeImage img;
  WriteU32LE(img.code.data() + 1, 0);
  WriteU32LE(img.code.data() + 11, 0);
  std::vector<uint8_t> fixups = Import(1, "!GDate!TestProperty");
  std::vector<uint8_t> second = Import(11, "!Sdate!testproperty");
  fixups.insert(fixups.end(), second.begin(), second.end());
  std::string message;
  ASSERT_TRUE(Link(img, fixups, message));
  EXPECT_EQ(DeferredImportCount(), 2);
  EXPECT_EQ(ReadU32LE(img.code.data() + 1), 0u);  // untouched until resolved

  static const PropertyEntry property = {"", "TestProperty", "Integer",
                                         reinterpret_cast<CodeAddress>(TestGetter),
                                         reinterpret_cast<CodeAddress>(TestSetter), 0};
  AddProperty(FindBuiltInClass("Date"), property);
  gCodeBase = img.code.data();
  gCodeLength = static_cast<uint32_t>(img.code.size());
  ASSERT_TRUE(LinkDeferredImports(message)) << message;
  EXPECT_EQ(DeferredImportCount(), 0);
  EXPECT_EQ(img.Target(1), reinterpret_cast<uint32_t>(&TestGetter));
  EXPECT_EQ(img.Target(11), reinterpret_cast<uint32_t>(&TestSetter));
}

TEST(MemberImports, AMissingClassOrMemberStopsTheLoad) {
  CodeImage img;
  std::string message;
  ASSERT_TRUE(Link(img, Import(1, "!SDisclosureTriangle!Value"), message));
  EXPECT_FALSE(LinkDeferredImports(message));
  EXPECT_EQ(message,
            "The application could not be loaded because the member SDisclosureTriangle!Value "
            "could not be found.");
  EXPECT_EQ(ResolveMemberImport("GDate!NoSuchProperty"), nullptr);
  EXPECT_EQ(ResolveMemberImport("QDate!TestProperty"), nullptr);  // no such kind
  EXPECT_EQ(ResolveMemberImport(""), nullptr);
}

}  // namespace
