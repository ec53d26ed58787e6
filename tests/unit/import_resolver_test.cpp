// Runtime imports looked up in the entry table by name. Imports linked
// through the resolver (library routines among them: the exit image calls two
// of kernel32.dll's), missing imports' messages and member imports are the
// image tests'.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "sdk/vellory.h"
#include "startup/entry_table.h"

namespace {

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
