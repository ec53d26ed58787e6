// Reading class descriptors laid out word by word in a stand-in data block,
// with addresses into it as the loader leaves them after relocation.
#include "objects/class_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/image_format.h"
#include "unit/recorded_assertions.h"

namespace {

uint32_t Addr(const void* p) { return reinterpret_cast<uint32_t>(p); }
MemorySpan AnyCode() { return {0x1000, 0x7FFF0000}; }
std::vector<ClassRecord*> gConstructed;
void __cdecl NoteConstructor(ObjectRecord*, ClassRecord* cls) { gConstructed.push_back(cls); }

struct DataBlock {
  explicit DataBlock(size_t size = 4096) : words(size, 0) {}
  std::vector<uint32_t> words;  // never grows: records point into it
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
  // Links a class list of descriptors named "C", each {instance size, the
  // superclass's index in the list or none}, constructed through NoteConstructor.
  bool LinkClasses(const std::vector<std::pair<uint32_t, uint32_t>>& classes) {
    uint32_t name = String("C"), hook = reinterpret_cast<uint32_t>(&NoteConstructor);
    std::vector<uint32_t> list = {static_cast<uint32_t>(classes.size())};
    for (auto [size, superclass] : classes)
      list.push_back(Addr(At(Put({0, size, name, superclass, 1, hook, 0, 0, 0, 0, 0, 0, 0}))));
    return LinkImageClasses(At(Put(list)), Span(), AnyCode());
  }
};

struct ImageClasses : testing::Test {
  RecordedAssertions assertions;
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
  EXPECT_EQ(assertions.seen.size(), 5u);
  uint32_t outside[] = {5, 0};
  EXPECT_FALSE(LinkImageClasses(outside, d.Span(), AnyCode()));
  size_t tooMany = d.Put({0x7FFFFFFF});
  EXPECT_FALSE(LinkImageClasses(d.At(tooMany), d.Span(), AnyCode()));
}

// A loop in the superclass links would make every walk up a class chain run
// for ever, and a size outside what an object can be would wrap or leave no
// room for the header: each such class is refused, the rest still link.
// Chains are capped, checked in time linear in their length, and an object
// of the deepest class left runs its constructors root first without
// recursion. (Outside the tests the first refusal ends start-up.)
TEST_F(ImageClasses, SuperclassLoopsImpossibleSizesAndOverlongChainsAreRefusedAndChainsConstructRootFirst) {
  struct Row {
    const char* what;
    uint32_t size, superclass;
    bool kept;
  };  // superclass: index here, or none
  constexpr uint32_t kNone = 0xFFFFFFFF;
  const Row rows[] = {{"first of a pair", 24, 1, true},  // linked before its partner closes the loop
                      {"second of a pair", 24, 0, false},
                      {"smaller than the header", 23, kNone, false},
                      {"just the header", 24, kNone, true},
                      {"a megabyte", 1u << 20, kNone, true},
                      {"past a megabyte", (1u << 20) + 1, kNone, false}};
  DataBlock d;
  std::vector<std::pair<uint32_t, uint32_t>> classes;
  for (const Row& row : rows) classes.push_back({row.size, row.superclass});
  ASSERT_TRUE(d.LinkClasses(classes));
  for (size_t i = 0; i < std::size(rows); ++i) {
    ClassRecord* cls = ClassAt(static_cast<int32_t>(i));
    EXPECT_EQ(cls != nullptr, rows[i].kept) << rows[i].what;
    if (!cls) continue;
    EXPECT_FALSE(ClassIsa(cls, FindBuiltInClass("Window")));  // the chain ends
    ObjectRecord* o = RuntimeNewObject(static_cast<int32_t>(i));
    ASSERT_NE(o, nullptr);
    RuntimeUnlockObject(o);
  }
  constexpr uint32_t kMax = image::kMaxClassDepth;
  constexpr uint32_t kSome = 0xFFFFFFFF;
  const struct { const char* what; uint32_t count; bool upward; uint32_t refused; } chains[] = {
      {"as deep as allowed", kMax, false, 0},
      {"one deeper, linked from the root", kMax + 1, false, 1},
      {"one deeper, linked from the far end", kMax + 1, true, 1},
      {"70,000 deep", 70000, false, kSome},
  };
  for (const auto& r : chains) {
    SCOPED_TRACE(r.what);
    assertions.seen.clear();
    // Each class the superclass of the next, or (upward) its subclass, so the chain is linked from its far end.
    std::vector<std::pair<uint32_t, uint32_t>> chain;
    for (uint32_t i = 0; i < r.count; ++i)
      chain.push_back({24, r.upward ? (i + 1 < r.count ? i + 1 : kNone) : (i > 0 ? i - 1 : kNone)});
    DataBlock deep(14 * r.count + 64);
    ASSERT_TRUE(deep.LinkClasses(chain));
    if (r.refused != kSome) {
      EXPECT_EQ(assertions.seen.size(), r.refused);
    }
    EXPECT_EQ(assertions.seen.empty(), r.refused == 0);
    int32_t deepest = -1;
    uint32_t deepestDepth = 0;
    for (int32_t i = 0; i < ClassCount(); ++i) {
      uint32_t depth = 0;
      for (const ClassRecord* c = ClassAt(i); c; c = c->superclass) ++depth;
      ASSERT_LE(depth, kMax) << i;
      if (depth > deepestDepth) deepest = i, deepestDepth = depth;
    }
    ASSERT_EQ(deepestDepth, kMax);
    gConstructed.clear();
    ObjectRecord* o = RuntimeNewObject(deepest);
    ASSERT_NE(o, nullptr);
    RuntimeUnlockObject(o);
    ASSERT_EQ(gConstructed.size(), kMax);
    EXPECT_EQ(gConstructed.back(), ClassAt(deepest));
    EXPECT_EQ(gConstructed.front()->superclass, nullptr);
  }
}

// A descriptor's member lists are capped; within the cap they are built in
// order and in linear time.
TEST_F(ImageClasses, MemberListsAreCappedAndKeepTheirOrder) {
  for (uint32_t count : {image::kMaxMembers, image::kMaxMembers + 1}) {
    SCOPED_TRACE(count);
    assertions.seen.clear();
    DataBlock d(2 * count + 64);
    uint32_t name = d.String("M");
    std::vector<uint32_t> cls = {0, 24, name, 0xFFFFFFFF, 0, 0, 0, count};
    for (uint32_t i = 0; i < count; ++i) cls.insert(cls.end(), {name, 0x2000 + i});
    cls.insert(cls.end(), {0, 0, 0});
    size_t at = d.Put(cls);
    ASSERT_TRUE(LinkImageClasses(d.At(d.Put({1, Addr(d.At(at))})), d.Span(), AnyCode()));
    ClassRecord* c = ClassAt(0);
    ASSERT_EQ(c != nullptr, count <= image::kMaxMembers);
    if (!c) continue;
    uint32_t n = 0;
    for (const MethodRecord* m = c->methods; m; m = m->next, ++n)
      ASSERT_EQ(reinterpret_cast<uint32_t>(m->entry.code), 0x2000 + n);
    EXPECT_EQ(n, count);
  }
}

}  // namespace
