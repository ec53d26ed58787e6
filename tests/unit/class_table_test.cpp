// Reading class descriptors laid out word by word in a stand-in data block,
// with addresses into it as the loader leaves them after relocation.
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

uint32_t Addr(const void* p) { return reinterpret_cast<uint32_t>(p); }

struct DataBlock {
  std::vector<uint32_t> words = std::vector<uint32_t>(4096, 0);
  size_t used = 0;

  uint32_t* At(size_t i) { return &words[i]; }
  size_t Put(const std::vector<uint32_t>& ws) {
    size_t start = used;
    for (uint32_t w : ws) words[used++] = w;
    return start;
  }
  // A StringRecord constant with its buffer right behind it.
  uint32_t String(const std::string& text) {
    auto size = static_cast<uint32_t>(text.size());
    size_t record = Put({1, Addr(At(used + 4)), size, size});  // the buffer follows, zero-filled
    auto* bytes = reinterpret_cast<uint8_t*>(At(used));
    bytes[0] = static_cast<uint8_t>(size);
    memcpy(bytes + 1, text.data(), size);
    used += (size + 2 + 3) / 4;
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

// Descriptors that link (fields, methods, interfaces, hooks, initializers)
// are the image tests' (app_starts_and_traces); here the damaged ones, and a
// built-in class named in any letter case among them.
TEST_F(ImageClasses, DamagedDescriptorsLeaveNullEntriesAndNothingOutsideIsRead) {
  DataBlock d;
  uint32_t name = d.String("X");
  size_t unknown = d.Put({1, d.String("NoSuchClass")});
  size_t wildName = d.Put({0, 24, 0x00000010, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0});
  size_t hugeCount = d.Put({0, 24, name, 0xFFFFFFFF, 0, 0, 0, 0x40000000, 0, 0, 0});
  size_t base = d.Put({0, 32, d.String("Big"), 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0});
  size_t small = d.Put({0, 24, d.String("Small"), 3, 0, 0, 0, 0, 0, 0, 0});
  size_t wildCode = d.Put({0, 24, name, 0xFFFFFFFF, 1, 0x10, 0, 0, 0, 0, 0, 0, 0});
  size_t app = d.Put({1, d.String("application")});
  size_t list = d.Put({7, Addr(d.At(unknown)), Addr(d.At(wildName)), Addr(d.At(hugeCount)),
                       Addr(d.At(base)), Addr(d.At(small)), Addr(d.At(wildCode)), Addr(d.At(app))});
  ASSERT_TRUE(LinkImageClasses(d.At(list), d.Span(), AnyCode()));
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(ClassAt(i) != nullptr, i == 3) << i;  // 4: smaller than its superclass
  EXPECT_EQ(ClassAt(6), FindBuiltInClass("Application"));
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
    uint32_t size, superclass;
    bool kept;
  };  // superclass: index here, or none
  constexpr uint32_t kNone = 0xFFFFFFFF;
  const Row rows[] = {{"its own superclass", 24, 0, false},
                      {"first of a pair", 24, 2, true},  // linked before its partner closes the loop
                      {"second of a pair", 24, 1, false},
                      {"smaller than the header", 23, kNone, false},
                      {"just the header", 24, kNone, true},
                      {"a megabyte", 1u << 20, kNone, true},
                      {"past a megabyte", (1u << 20) + 1, kNone, false}};
  DataBlock d;
  uint32_t name = d.String("C");
  std::vector<uint32_t> list = {static_cast<uint32_t>(std::size(rows))};
  for (const Row& row : rows)
    list.push_back(Addr(d.At(d.Put({0, row.size, name, row.superclass, 0, 0, 0, 0, 0, 0, 0}))));
  ASSERT_TRUE(LinkImageClasses(d.At(d.Put(list)), d.Span(), AnyCode()));
  for (size_t i = 0; i < std::size(rows); ++i) {
    ClassRecord* cls = ClassAt(static_cast<int32_t>(i));
    EXPECT_EQ(cls != nullptr, rows[i].kept) << rows[i].what;
    if (!cls) continue;
    EXPECT_FALSE(ClassIsa(cls, FindBuiltInClass("Window")));  // the chain ends
    ObjectRecord* o = RuntimeNewObject(static_cast<int32_t>(i));
    ASSERT_NE(o, nullptr);
    RuntimeUnlockObject(o);
  }
}

}  // namespace
