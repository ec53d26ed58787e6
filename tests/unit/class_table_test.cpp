// Reading class descriptors as the image stores them: laid out here word by
// word in a block standing in for the data block, with addresses that point
// into it, as the loader leaves them after relocation.
#include "objects/class_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"

namespace {

int __cdecl Area(ObjectRecord*) { return 1; }
int __cdecl OnOpen(ObjectRecord*) { return 2; }
int __cdecl OnQuit(ObjectRecord*) { return 3; }
int __cdecl Virtual0(ObjectRecord*) { return 4; }
uint32_t Addr(const void* p) { return reinterpret_cast<uint32_t>(p); }
uint32_t Addr(int (*f)(ObjectRecord*)) { return reinterpret_cast<uint32_t>(f); }

// A block of words with helpers to place strings and descriptors in it.
struct DataBlock {
  std::vector<uint32_t> words = std::vector<uint32_t>(4096, 0);
  size_t used = 0;

  uint32_t* At(size_t i) { return &words[i]; }
  size_t Put(std::initializer_list<uint32_t> ws) {
    size_t start = used;
    for (uint32_t w : ws) words[used++] = w;
    return start;
  }
  // A StringRecord constant with its buffer right behind it.
  uint32_t String(const std::string& text) {
    size_t record = Put({1, 0, static_cast<uint32_t>(text.size()), static_cast<uint32_t>(text.size())});
    size_t buffer = used;
    auto* bytes = reinterpret_cast<uint8_t*>(At(buffer));
    bytes[0] = static_cast<uint8_t>(text.size());
    memcpy(bytes + 1, text.data(), text.size());
    bytes[text.size() + 1] = 0;
    used += (text.size() + 2 + 3) / 4;
    words[record + 1] = Addr(At(buffer));
    return Addr(At(record));
  }
  MemorySpan Span() { return {reinterpret_cast<uintptr_t>(words.data()), words.size() * 4}; }
};

MemorySpan AnyCode() { return {0x1000, 0x7FFF0000}; }

std::vector<std::string> gAssertions;
void Record(const char* what) { gAssertions.push_back(what); }

struct ImageClasses : testing::Test {
  void SetUp() override {
    gAssertions.clear();
    previous = SetAssertionRecorder(Record);
  }
  void TearDown() override { SetAssertionRecorder(previous); }
  AssertionRecorder previous = nullptr;
};

TEST_F(ImageClasses, DescriptorsOfBothKindsBecomeTheClassTable) {
  DataBlock d;
  uint32_t appName = d.String("application");  // kind 1: any letter case
  size_t app = d.Put({1, appName});
  uint32_t shapeName = d.String("Shape"), areaName = d.String("Area");
  size_t shape = d.Put({0, 24, shapeName, 0xFFFFFFFF, 0, /*iface*/ 1, /*interfaces*/ 0,
                        /*methods*/ 1, areaName, /*handlers*/ 0, /*menus*/ 0, /*vtable*/ 0});
  uint32_t myAppName = d.String("MyApp"), openName = d.String("Open"),
           quitName = d.String("FileQuit");
  size_t myApp = d.Put({0, 40, myAppName, 0, /*initializers*/ 0, /*iface*/ 0,
                        /*interfaces*/ 1, 1,
                        /*methods*/ 1, areaName, Addr(Area),
                        /*handlers*/ 1, openName, Addr(OnOpen), 77,
                        /*menus*/ 1, quitName, Addr(OnQuit),
                        /*vtable*/ 2, Addr(Virtual0), Addr(Area)});
  size_t list = d.Put({3, Addr(d.At(app)), Addr(d.At(shape)), Addr(d.At(myApp))});

  ASSERT_TRUE(LinkImageClasses(d.At(list), d.Span(), AnyCode()));
  EXPECT_TRUE(gAssertions.empty());
  ASSERT_EQ(ClassCount(), 3);
  ClassRecord* builtIn = FindBuiltInClass("Application");
  EXPECT_EQ(ClassAt(0), builtIn);
  ClassRecord* mine = ClassAt(2);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(StringView(mine->name), "MyApp");
  EXPECT_EQ(mine->superclass, builtIn);
  EXPECT_EQ(mine->instanceSize, 40u);
  EXPECT_EQ(mine->vtable, reinterpret_cast<CodeAddress*>(d.At(myApp + 19)));  // used in place
  EXPECT_EQ(mine->vtableCount, 2u);
  EXPECT_EQ(StringView(mine->menuHandlers->itemName), "FileQuit");

  ObjectRecord* o = RuntimeNewObject(2);
  EXPECT_TRUE(RuntimeObjectIsa(o, 0));
  EXPECT_TRUE(RuntimeObjectIsa(o, 1));  // the interface
  EXPECT_EQ(FindVTableCode(o, 0), reinterpret_cast<CodeAddress>(Virtual0));
  EXPECT_EQ(FindInterfaceVTableCode(o, 1, 1), reinterpret_cast<CodeAddress>(Area));
  EXPECT_EQ(FindEventHandler(o->cls, gApplicationEvents[kAppOpen].declaration),
            reinterpret_cast<CodeAddress>(OnOpen));
  EXPECT_EQ(RuntimeFindHookCode(o, 77), reinterpret_cast<CodeAddress>(OnOpen));
  RuntimeUnlockObject(o);
}

TEST_F(ImageClasses, InitializersRunFromTheDescriptor) {
  static int constructed = 0, destroyed = 0;
  auto ctor = +[](ObjectRecord*, ClassRecord*) { ++constructed; };
  auto dtor = +[](ObjectRecord*, ClassRecord*) { ++destroyed; };
  DataBlock d;
  size_t c = d.Put({0, 24, d.String("Counted"), 0xFFFFFFFF, 1, Addr(reinterpret_cast<void*>(ctor)),
                    Addr(reinterpret_cast<void*>(dtor)), 0, 0, 0, 0, 0, 0});
  size_t list = d.Put({1, Addr(d.At(c))});
  ASSERT_TRUE(LinkImageClasses(d.At(list), d.Span(), AnyCode()));
  RuntimeUnlockObject(RuntimeNewObject(0));
  EXPECT_EQ(constructed, 1);
  EXPECT_EQ(destroyed, 1);
}

TEST_F(ImageClasses, DamagedDescriptorsLeaveNullEntriesAndNothingOutsideIsRead) {
  DataBlock d;
  uint32_t name = d.String("X");
  size_t unknown = d.Put({1, d.String("NoSuchClass")});
  size_t wildName = d.Put({0, 24, 0x00000010, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0});
  size_t hugeCount = d.Put({0, 24, name, 0xFFFFFFFF, 0, 0, 0, 0x40000000, 0, 0, 0});
  size_t base = d.Put({0, 32, d.String("Big"), 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0});
  size_t small = d.Put({0, 24, d.String("Small"), 3, 0, 0, 0, 0, 0, 0, 0});
  size_t wildCode = d.Put({0, 24, name, 0xFFFFFFFF, 1, 0x10, 0, 0, 0, 0, 0, 0, 0});
  size_t list = d.Put({6, Addr(d.At(unknown)), Addr(d.At(wildName)), Addr(d.At(hugeCount)),
                       Addr(d.At(base)), Addr(d.At(small)), Addr(d.At(wildCode))});
  ASSERT_TRUE(LinkImageClasses(d.At(list), d.Span(), AnyCode()));
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(ClassAt(i) != nullptr, i == 3) << i;  // 4: smaller than its superclass
  EXPECT_EQ(gAssertions.size(), 5u);
  uint32_t outside[] = {5, 0};
  EXPECT_FALSE(LinkImageClasses(outside, d.Span(), AnyCode()));
  size_t tooMany = d.Put({0x7FFFFFFF});
  EXPECT_FALSE(LinkImageClasses(d.At(tooMany), d.Span(), AnyCode()));
}

// A loop in the superclass links would make every walk up a class chain run
// for ever, and a size outside what an object can be would wrap or leave no
// room for the header: each such class is refused, the rest still link.
TEST_F(ImageClasses, SuperclassLoopsAndImpossibleSizesAreRefused) {
  struct Row {
    const char* what;
    uint32_t size, superclass;  // superclass: index in this list, or none
    bool kept;
  };
  constexpr uint32_t kNone = 0xFFFFFFFF;
  const Row rows[] = {
      {"its own superclass", 24, 0, false},
      {"first of a pair", 24, 2, true},  // linked before its partner closes the loop
      {"second of a pair", 24, 1, false},
      {"size that wraps", 0xFFFFFFFD, kNone, false},
      {"largest size", 0xFFFFFFFF, kNone, false},
      {"size 0", 0, kNone, false},
      {"smaller than the header", 23, kNone, false},
      {"just the header", 24, kNone, true},
      {"a megabyte", 1u << 20, kNone, true},
      {"past a megabyte", (1u << 20) + 1, kNone, false},
  };
  DataBlock d;
  uint32_t name = d.String("C");
  std::vector<uint32_t> list = {static_cast<uint32_t>(std::size(rows))};
  for (const Row& row : rows)
    list.push_back(Addr(d.At(d.Put({0, row.size, name, row.superclass, 0, 0, 0, 0, 0, 0, 0}))));
  size_t at = d.used;
  for (uint32_t w : list) d.words[d.used++] = w;
  ASSERT_TRUE(LinkImageClasses(d.At(at), d.Span(), AnyCode()));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(ClassAt(static_cast<int32_t>(i)) != nullptr, rows[i].kept) << rows[i].what;
    ClassRecord* cls = ClassAt(static_cast<int32_t>(i));
    if (!cls) continue;
    EXPECT_FALSE(ClassIsa(cls, FindBuiltInClass("Window")));  // the chain ends
    ObjectRecord* o = RuntimeNewObject(static_cast<int32_t>(i));
    ASSERT_NE(o, nullptr);
    RuntimeUnlockObject(o);
  }
}

}  // namespace
