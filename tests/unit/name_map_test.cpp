// The name index: its hash (with bytes above 0x7F taken as negative),
// bucket collisions, case-insensitive replacement and insertion order.
#include "objects/name_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

TEST(NameMap, HashFoldsLowerCaseAndSignExtendsHighBytes) {
  const struct {
    const char* name;
    uint32_t hash;
  } rows[] = {{"", 0},         {"A", 0x41},   {"a", 0x41},   {"z", 0x5A},  // both ends of a-z
              {"ab", (0x41u * 4) ^ 0x42u}, {"\x80", 0xFFFFFF80u},
              {"a\xE9", (0x41u * 4) ^ 0xFFFFFFE9u}, {"\xE9", 0xFFFFFFE9u}};  // only a-z fold
  for (const auto& row : rows) EXPECT_EQ(NameMap::Hash(row.name), row.hash) << row.name;
}

TEST(NameMap, NamesSharingABucketAreAllFound) {
  NameMap map;
  map.Insert("Alpha", 1);
  std::vector<std::string> names;
  uint32_t bucket = NameMap::Hash("Alpha") & 0xFF;
  for (int i = 0; names.size() < 3 && i < 100000; ++i) {
    std::string n = std::to_string(i).insert(0, 1, 'N');
    if ((NameMap::Hash(n) & 0xFF) == bucket) names.push_back(n);
  }
  ASSERT_EQ(names.size(), 3u);
  for (size_t i = 0; i < names.size(); ++i) map.Insert(names[i], 10 + i);
  EXPECT_EQ(map.Find("ALPHA"), 1u);
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(map.Find(names[i]), 10 + i) << names[i];
  EXPECT_EQ(map.Find("Beta"), 0u);
  EXPECT_EQ(map.Count(), 4);
}

TEST(NameMap, ReinsertingInAnotherCaseReplacesTheValueInPlace) {
  uint32_t heap = SmallBlockBytesInUse();
  {
    NameMap map;
    map.Insert("Open", 1);
    map.Insert("Close", 2);
    map.Insert("OPEN", 3);
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.Find("open"), 3u);
    std::vector<std::string> order;
    for (const NameMapEntry* e = map.First(); e; e = e->nextInOrder) order.emplace_back(StringView(e->name));
    EXPECT_EQ(order, (std::vector<std::string>{"Open", "Close"}));
    // Names compare through the collation table, whose folds the hash lacks.
    map.Insert("Caf\x8E", 5);            // 0x8E folds to 0x83
    EXPECT_EQ(map.Find("CAF\x83"), 0u);  // a different hash: not the same name
    EXPECT_EQ(map.Find("caf\x8E"), 5u);
    for (int i = 0; i < 300; ++i) map.Insert("name" + std::to_string(i), i);
    EXPECT_EQ(map.Find("NAME299"), 299u);
  }
  EXPECT_EQ(SmallBlockBytesInUse(), heap) << "clearing returns every entry";
}

}  // namespace
