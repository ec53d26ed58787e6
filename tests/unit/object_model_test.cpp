// Objects and classes built by hand as the image's descriptors would be
// (app_starts_and_traces runs real ones), the name index and the heaps.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "menu_test_support.h"
#include "objects/class_table.h"
#include "objects/name_map.h"
#include "objects/small_heap.h"
#include "objects/tagged_alloc.h"
#include "recorded_assertions.h"

namespace {

using menutest::Code;
std::vector<std::string> gLog;

void __cdecl LogConstructor(ObjectRecord* o, ClassRecord* c) {
  // Every field is zero when the root class's constructor runs.
  bool zero = true;
  for (uint32_t i = sizeof(ObjectRecord); !c->superclass && i < o->cls->instanceSize; ++i)
    zero = zero && reinterpret_cast<uint8_t*>(o)[i] == 0;
  gLog.push_back("new " + std::string(StringView(c->name)) + (zero ? "" : " (dirty)"));
  FieldAt<int32_t>(o, c->instanceSize - 4) = 7;  // each class marks its own last field
}
void __cdecl LogDestructor(ObjectRecord*, ClassRecord* c) {
  gLog.push_back("delete " + std::string(StringView(c->name)));
}
void UseClasses(std::initializer_list<ClassRecord*> table) { SetClassTable(table.begin(), int32_t(table.size())); }

class ObjectModel : public testing::Test {
 protected:
  void SetUp() override { gLog.clear(); }
  // A class of `size` bytes whose constructor and destructor log, if `hooks`.
  ClassRecord* Make(const char* name, ClassRecord* super, uint32_t size, bool hooks = true) {
    ClassRecord* c = classes.Make(name, super, size);
    if (hooks) c->constructor = Code(LogConstructor);
    if (hooks) c->destructor = Code(LogDestructor);
    return c;
  }
  RecordedAssertions assertions;
  menutest::ScratchClasses classes;
};

TEST_F(ObjectModel, ConstructorsRunRootFirstOnZeroedFieldsAndTheLastUnlockDestructorsLeafFirst) {
  ClassRecord* a = Make("A", nullptr, 28);
  ClassRecord* b = Make("B", a, 32);
  UseClasses({a, b, Make("C", b, 37)});  // C rounded up to 40 bytes
  uint32_t heap = SmallBlockBytesInUse();
  ObjectRecord* o = RuntimeNewObject(2);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(gLog, (std::vector<std::string>{"new A", "new B", "new C"}));
  for (uint32_t at : {24, 28, 33}) EXPECT_EQ(FieldAt<int32_t>(o, at), 7) << at;
  RuntimeUnlockObject(o);

  ObjectRecord *first = NewObjectOfClass(a), *middle = NewObjectOfClass(b), *last = NewObjectOfClass(a);
  RuntimeLockObject(middle);
  RuntimeUnlockObject(middle);
  gLog.clear();
  RuntimeUnlockObject(middle);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete B", "delete A"}));
  // The live list, newest first, closes over the gap; then the head moves.
  EXPECT_EQ(last->nextLive, first);
  EXPECT_EQ(first->prevLive, last);
  RuntimeUnlockObject(last);
  EXPECT_EQ(FirstLiveObject(), first);
  EXPECT_EQ(first->prevLive, nullptr);
  RuntimeUnlockObject(first);
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
}

TEST_F(ObjectModel, CallerErrorsGoToTheAssertionHookAndFieldAccessorsCountReferencesAndSignExtend) {
  ClassRecord* a = Make("A", nullptr, 24, false);
  UseClasses({a});
  for (int32_t index : {1, -1}) EXPECT_EQ(RuntimeNewObject(index), nullptr) << index;
  ASSERT_EQ(assertions.seen.size(), 2u);
  ObjectRecord* o = RuntimeNewObject(0);
  o->refCount = 0;  // as if it had been released already
  int32_t live = LiveObjectCount();
  RuntimeUnlockObject(o);
  RuntimeLockObject(o);
  EXPECT_EQ(assertions.seen.size(), 4u);
  EXPECT_EQ(o->refCount, 0u);
  EXPECT_EQ(LiveObjectCount(), live);
  o->refCount = 1;
  RuntimeUnlockObject(o);
  RuntimeLockObject(nullptr);
  RuntimeUnlockObject(nullptr);
  EXPECT_EQ(assertions.seen.size(), 4u);

  ClassRecord* c = Make("Holder", nullptr, 36, false);
  ObjectRecord* holder = NewObjectOfClass(c);
  // Objects and strings alike: storing the same one again keeps one reference, a read hands out its own.
  auto counts = [holder](uint32_t at, auto* value, auto set, auto get, auto unlock) {
    set(holder, at, value);
    set(holder, at, value);
    EXPECT_EQ(value->refCount, 2u);
    auto* read = get(holder, at);
    EXPECT_EQ(read, value);
    EXPECT_EQ(value->refCount, 3u);
    unlock(read);
    set(holder, at, nullptr);
    EXPECT_EQ(value->refCount, 1u);
    unlock(value);
  };
  counts(24, NewObjectOfClass(c), objSetter, objGetter, RuntimeUnlockObject);
  counts(28, NewString("text"), stringSetter, stringGetter, RuntimeUnlockString);
  shortFieldSetter(holder, 32, 0xFFFF8001);
  byteFieldSetter(holder, 34, 0x80);
  EXPECT_EQ(shortFieldGetter(holder, 32), -32767);  // the byte after it is its own field
  EXPECT_EQ(byteFieldGetter(holder, 34), -128);

  // Offsets come from the image: a field that is not wholly inside the object
  // after its header is not there. Reads give 0 (nil), writes touch nothing:
  // not the header, not what lies after the object. The object stands in a
  // block whose bytes after its 36 are guards.
  alignas(8) uint8_t block[64];
  std::memset(block, 0xAB, sizeof block);
  auto* loose = reinterpret_cast<ObjectRecord*>(block);
  *loose = {1, c, nullptr, nullptr, 0, 0};
  struct Row {
    uint32_t offset;
    bool intFits, shortFits, byteFits;  // objects and strings are as wide as integers
  } const rows[] = {{23, false, false, false}, {24, true, true, true},   {32, true, true, true},
                    {33, false, true, true},   {35, false, false, true}, {36, false, false, false},
                    {0xFFFFFFFE, false, false, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.offset);
    uint8_t before[sizeof block];
    std::memcpy(before, block, sizeof block);
    intFieldSetter(loose, r.offset, 0x01020304);
    EXPECT_EQ(intFieldGetter(loose, r.offset), r.intFits ? 0x01020304 : 0);
    shortFieldSetter(loose, r.offset, -2);
    EXPECT_EQ(shortFieldGetter(loose, r.offset), r.shortFits ? -2 : 0);
    byteFieldSetter(loose, r.offset, -3);
    EXPECT_EQ(byteFieldGetter(loose, r.offset), r.byteFits ? -3 : 0);
    if (!r.byteFits) {
      EXPECT_EQ(std::memcmp(before, block, sizeof block), 0);
    }
    if (r.intFits) continue;
    std::memcpy(before, block, sizeof block);
    objSetter(loose, r.offset, holder);
    stringSetter(loose, r.offset, holder->cls->name);
    EXPECT_EQ(objGetter(loose, r.offset), nullptr);
    EXPECT_EQ(stringGetter(loose, r.offset), nullptr);
    EXPECT_EQ(std::memcmp(before, block, sizeof block), 0);
    EXPECT_EQ(holder->refCount, 1u);
  }
  // Nil has no fields.
  intFieldSetter(nullptr, 24, 1);
  objSetter(nullptr, 24, holder);
  EXPECT_EQ(intFieldGetter(nullptr, 24), 0);
  EXPECT_EQ(objGetter(nullptr, 24), nullptr);
  EXPECT_EQ(holder->refCount, 1u);
  RuntimeUnlockObject(holder);
}

template <int N>
int __cdecl Handler(ObjectRecord*) {
  return N;
}

// Membership through interfaces is app_starts_and_traces'.
TEST_F(ObjectModel, InterfaceTablesFillByNameAlongTheChainCastsCheckAndTheHandlerNearestTheDeclarationWins) {
  ClassRecord* iface = Make("Shape", nullptr, 24, false);
  iface->isInterface = 1;
  AddMethod(iface, "Area", nullptr);
  AddMethod(iface, "Name", nullptr);
  ClassRecord* base = Make("Base", nullptr, 24, false);
  AddMethod(base, "name", Code(Handler<1>));
  ClassRecord* square = Make("Square", base, 24, false);
  AddMethod(square, "Area", Code(Handler<2>));
  AddInterface(square, iface);
  ClassRecord* broken = Make("Broken", nullptr, 24, false);
  UseClasses({iface, base, square, broken});
  EXPECT_TRUE(BuildInterfaceTables());
  CodeAddress vtable[] = {Code(Handler<1>), Code(Handler<2>)};
  square->vtable = vtable;
  square->vtableCount = 2;
  ObjectRecord* o = NewObjectOfClass(square);
  // Lookups within the tables are app_starts_and_traces'; past their ends, nothing.
  EXPECT_EQ(FindInterfaceVTableCode(o, 3, 0), nullptr);
  EXPECT_EQ(FindVTableCode(o, 2), nullptr);
  EXPECT_EQ(assertions.seen.size(), 1u);
  RuntimeCheckCast(o, 1);  // a failed cast would raise
  RuntimeCheckCast(nullptr, 2);
  EXPECT_FALSE(RuntimeObjectIsa(nullptr, 1));
  ObjectRecord* b = NewObjectOfClass(base);
  EXPECT_FALSE(RuntimeObjectIsa(b, 2)) << "a superclass is not its subclass";
  RuntimeUnlockObject(b);
  RuntimeUnlockObject(o);
  // A class that claims the interface without one of its methods fails the build.
  AddInterface(broken, iface);
  AddMethod(broken, "Area", Code(Handler<3>));
  EXPECT_FALSE(BuildInterfaceTables());

  ClassRecord* mid = Make("Mid", square, 24, false);
  ClassRecord* leaf = Make("Leaf", mid, 24, false);
  EventDeclaration* action = DeclareEvent(base, "Action", "", "");
  AddEventHandler(mid, "action", Code(Handler<1>), 0);
  AddEventHandler(leaf, "Action", Code(Handler<2>), 0);
  AddEventHandler(base, "Action", Code(Handler<3>), 0);  // the declaring class's own list is not searched
  bool own = true;
  EXPECT_EQ(FindEventHandler(leaf, action, &own), Code(Handler<1>));
  EXPECT_FALSE(own);
  EXPECT_EQ(FindEventHandler(mid, action, &own), Code(Handler<1>));
  EXPECT_TRUE(own);
  EXPECT_EQ(FindEventHandler(base, action, &own), nullptr);
}

// The name index: case-insensitive, in insertion order, more names than buckets.
TEST(NameMap, ReinsertingInAnotherCaseReplacesTheValueInPlace) {
  uint32_t heap = SmallBlockBytesInUse();
  {
    NameMap map;
    for (auto [name, value] : {std::pair{"Open", 1u}, {"Close", 2u}, {"OPEN", 3u}, {"zulu", 4u}})
      map.Insert(name, value);
    EXPECT_EQ(map.Count(), 3);
    // The last letter folds too.
    for (auto [name, value] : {std::pair{"open", 3u}, {"ZULU", 4u}, {"Beta", 0u}})
      EXPECT_EQ(map.Find(name), value) << name;
    std::vector<std::string> order;
    for (const NameMapEntry* e = map.First(); e; e = e->nextInOrder) order.emplace_back(StringView(e->name));
    EXPECT_EQ(order, (std::vector<std::string>{"Open", "Close", "zulu"}));
    // Names compare through the collation table, whose folds the hash lacks.
    map.Insert("Caf\x8E", 5);            // 0x8E folds to 0x83
    EXPECT_EQ(map.Find("CAF\x83"), 0u);  // a different hash: not the same name
    EXPECT_EQ(map.Find("caf\x8E"), 5u);
    for (int i = 1; i <= 300; ++i) map.Insert("name" + std::to_string(i), i);
    for (int i = 1; i <= 300; ++i) EXPECT_EQ(map.Find("NAME" + std::to_string(i)), uint32_t(i));
  }
  EXPECT_EQ(SmallBlockBytesInUse(), heap) << "clearing returns every entry";
}

// Bytes the process heap holds for its callers.
size_t ProcessHeapBytesInUse() {
  size_t total = 0;
  PROCESS_HEAP_ENTRY entry = {};
  HeapLock(GetProcessHeap());
  while (HeapWalk(GetProcessHeap(), &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
  HeapUnlock(GetProcessHeap());
  return total;
}

TEST(SmallHeap, SizesAreCountedInWholeWordsLargeBlocksGoBackAndLiveBlocksNeverOverlap) {
  // 252 bytes is the largest listed size, 253 the first from the process heap.
  const struct {
    uint32_t bytes, counted;
  } rows[] = {{0, 4}, {1, 4}, {5, 8}, {252, 252}, {253, 256}, {256, 256}, {100000, 100000}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    uint32_t before = SmallBlockBytesInUse();
    auto* b = static_cast<uint8_t*>(SmallBlockAlloc(row.bytes));
    b[0] = 1, b[row.counted - 1] = 2;
    EXPECT_EQ(SmallBlockBytesInUse() - before, row.counted);
    SmallBlockFree(b, row.bytes);
    EXPECT_EQ(SmallBlockBytesInUse(), before);
  }
  size_t before = ProcessHeapBytesInUse();
  for (int i = 0; i < 1000; ++i) SmallBlockFree(SmallBlockAlloc(256), 256);
  EXPECT_LT(ProcessHeapBytesInUse(), before + 64 * 1024) << "1000 blocks of 256 bytes leaked";
  std::mt19937 rng(7);
  std::map<uint8_t*, std::pair<uint32_t, uint8_t>> live;  // block -> size, fill
  for (int step = 0; step < 20000; ++step) {
    if (live.empty() || rng() % 3 != 0) {
      uint32_t size = rng() % 4 == 0 ? 256 + rng() % 2000 : 1 + rng() % 255;
      auto* b = static_cast<uint8_t*>(SmallBlockAlloc(size));
      uint8_t fill = static_cast<uint8_t>(rng());
      memset(b, fill, size);
      live[b] = {size, fill};
    } else {
      auto it = std::next(live.begin(), rng() % live.size());
      for (uint32_t i = 0; i < it->second.first; ++i)
        ASSERT_EQ(it->first[i], it->second.second) << "block overwritten at byte " << i;
      SmallBlockFree(it->first, it->second.first);
      live.erase(it);
    }
  }
  for (auto& [b, info] : live) SmallBlockFree(b, info.first);
}

TEST(TaggedAlloc, BlocksCarryTheirSizeComeZeroedAndASecondFreeIsRefused) {
  auto* p = static_cast<uint32_t*>(TaggedAlloc(40));
  EXPECT_EQ(TaggedSize(p), 40u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(p[i], 0u);
  TaggedFree(p);
  EXPECT_EQ(TaggedSize(p), 0u);
  TaggedFree(p);  // would put the block on its free list twice: two allocations would share it
  void* a = TaggedAlloc(40);
  void* b = TaggedAlloc(40);
  EXPECT_NE(a, b);
  for (void* block : {a, b, static_cast<void*>(nullptr)}) TaggedFree(block);
}

}  // namespace
