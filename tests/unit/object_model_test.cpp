// Objects and classes: creation and destruction order, the live list,
// membership through interfaces, event-handler lookup and its hiding rule,
// interface dispatch tables and the live-object report. Classes are built
// here by hand, the way the image's descriptors would build them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "unit/temp_folder.h"

namespace {

std::vector<std::string> gLog;
std::vector<std::string> gAssertions;

void RecordAssertion(const char* what) { gAssertions.push_back(what); }

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

struct ScratchClasses {
  std::vector<ClassRecord*> made;
  ClassRecord* Make(const char* name, ClassRecord* super, uint32_t size, bool hooks = true) {
    ClassRecord* c = NewClassRecord(name);
    c->superclass = super;
    c->instanceSize = size;
    if (hooks) {
      c->constructor = reinterpret_cast<CodeAddress>(LogConstructor);
      c->destructor = reinterpret_cast<CodeAddress>(LogDestructor);
    }
    made.push_back(c);
    return c;
  }
  ~ScratchClasses() {
    for (auto it = made.rbegin(); it != made.rend(); ++it) DestroyClassRecord(*it);
  }
};

class ObjectModel : public testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    gAssertions.clear();
    previous_ = SetAssertionRecorder(RecordAssertion);
  }
  void TearDown() override { SetAssertionRecorder(previous_); }
  AssertionRecorder previous_ = nullptr;
  ScratchClasses classes;
};

TEST_F(ObjectModel, ConstructorsRunRootFirstOnZeroedFields) {
  ClassRecord* a = classes.Make("A", nullptr, 28);
  ClassRecord* b = classes.Make("B", a, 32);
  ClassRecord* c = classes.Make("C", b, 37);  // rounded up to 40 bytes
  ClassRecord* table[] = {a, b, c};
  SetClassTable(table, 3);
  ObjectRecord* o = RuntimeNewObject(2);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(gLog, (std::vector<std::string>{"new A", "new B", "new C"}));
  EXPECT_EQ(o->refCount, 1u);
  EXPECT_EQ(o->cls, c);
  EXPECT_EQ(o->reserved1, 0u);
  EXPECT_EQ(o->reserved2, 0u);
  EXPECT_EQ(FieldAt<int32_t>(o, 24), 7);
  EXPECT_EQ(FieldAt<int32_t>(o, 28), 7);
  EXPECT_EQ(FieldAt<int32_t>(o, 33), 7);
  RuntimeUnlockObject(o);
}

TEST_F(ObjectModel, TheLastUnlockRunsDestructorsLeafFirstAndUnlinks) {
  ClassRecord* a = classes.Make("A", nullptr, 24);
  ClassRecord* b = classes.Make("B", a, 24);
  uint32_t heap = SmallBlockBytesInUse();
  int32_t live = LiveObjectCount();
  ObjectRecord* first = NewObjectOfClass(a);
  ObjectRecord* middle = NewObjectOfClass(b);
  ObjectRecord* last = NewObjectOfClass(a);
  EXPECT_EQ(FirstLiveObject(), last);
  EXPECT_EQ(last->nextLive, middle);
  EXPECT_EQ(middle->nextLive, first);
  EXPECT_EQ(LiveObjectCount(), live + 3);

  RuntimeLockObject(middle);
  RuntimeUnlockObject(middle);
  gLog.clear();
  RuntimeUnlockObject(middle);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete B", "delete A"}));
  EXPECT_EQ(LiveObjectCount(), live + 2);
  EXPECT_EQ(last->nextLive, first);
  EXPECT_EQ(first->prevLive, last);
  EXPECT_EQ(last->prevLive, nullptr);

  RuntimeUnlockObject(last);  // the newest: the head moves
  EXPECT_EQ(FirstLiveObject(), first);
  EXPECT_EQ(first->prevLive, nullptr);
  RuntimeUnlockObject(first);
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
}

TEST_F(ObjectModel, CallerErrorsGoToTheAssertionHookAndChangeNothing) {
  ClassRecord* a = classes.Make("A", nullptr, 24, false);
  ClassRecord* table[] = {a};
  SetClassTable(table, 1);
  EXPECT_EQ(RuntimeNewObject(1), nullptr);
  EXPECT_EQ(RuntimeNewObject(-1), nullptr);
  ASSERT_EQ(gAssertions.size(), 2u);
  ObjectRecord* o = RuntimeNewObject(0);
  o->refCount = 0;  // as if it had been released already
  int32_t live = LiveObjectCount();
  RuntimeUnlockObject(o);
  RuntimeLockObject(o);
  EXPECT_EQ(gAssertions.size(), 4u);
  EXPECT_EQ(o->refCount, 0u);
  EXPECT_EQ(LiveObjectCount(), live);
  o->refCount = 1;
  RuntimeUnlockObject(o);
  RuntimeLockObject(nullptr);
  RuntimeUnlockObject(nullptr);
  EXPECT_EQ(gAssertions.size(), 4u);
}

TEST_F(ObjectModel, MembershipFollowsSuperclassesAndTheirInterfaces) {
  ClassRecord* iface = classes.Make("Speaker", nullptr, 24, false);
  iface->isInterface = 1;
  ClassRecord* base = classes.Make("Base", nullptr, 24, false);
  ClassRecord* sub = classes.Make("Sub", base, 24, false);
  ClassRecord* other = classes.Make("Other", nullptr, 24, false);
  AddInterface(base, iface);
  ClassRecord* table[] = {iface, base, sub, other};
  SetClassTable(table, 4);
  ObjectRecord* o = NewObjectOfClass(sub);
  EXPECT_TRUE(RuntimeObjectIsa(o, 0));  // through the superclass's interface
  EXPECT_TRUE(RuntimeObjectIsa(o, 1));
  EXPECT_TRUE(RuntimeObjectIsa(o, 2));
  EXPECT_FALSE(RuntimeObjectIsa(o, 3));
  EXPECT_FALSE(RuntimeObjectIsa(nullptr, 1));
  RuntimeCheckCast(nullptr, 3);  // nil passes any cast
  RuntimeCheckCast(o, 1);
  ObjectRecord* b = NewObjectOfClass(base);
  EXPECT_FALSE(RuntimeObjectIsa(b, 2));  // a superclass is not its subclass
  RuntimeUnlockObject(b);
  RuntimeUnlockObject(o);
}

int __cdecl Handler1(ObjectRecord*) { return 1; }
int __cdecl Handler2(ObjectRecord*) { return 2; }
int __cdecl Handler3(ObjectRecord*) { return 3; }
CodeAddress Code(int (*f)(ObjectRecord*)) { return reinterpret_cast<CodeAddress>(f); }

TEST_F(ObjectModel, TheHandlerNearestTheDeclarationWinsAndARedeclarationHidesThoseBelowIt) {
  ClassRecord* base = classes.Make("Base", nullptr, 24, false);
  ClassRecord* upper = classes.Make("Upper", base, 24, false);
  ClassRecord* mid = classes.Make("Mid", upper, 24, false);
  ClassRecord* leaf = classes.Make("Leaf", mid, 24, false);
  EventDeclaration* action = DeclareEvent(base, "Action", "", "");
  AddEventHandler(mid, "action", Code(Handler1), 0);
  AddEventHandler(leaf, "Action", Code(Handler2), 0);
  AddEventHandler(base, "Action", Code(Handler3), 0);  // the declaring class's own list is not searched
  bool own = true;
  EXPECT_EQ(FindEventHandler(leaf, action, &own), Code(Handler1));
  EXPECT_FALSE(own);
  EXPECT_EQ(FindEventHandler(mid, action, &own), Code(Handler1));
  EXPECT_TRUE(own);
  EXPECT_EQ(FindEventHandler(base, action, &own), nullptr);
  // Open, declared again in Mid: the leaf's handler answers the new
  // declaration and is hidden from the old one, which finds only handlers
  // above Mid, and none of a class outside the declaring chain.
  EventDeclaration* oldOpen = DeclareEvent(base, "Open", "", "");
  EventDeclaration* newOpen = DeclareEvent(mid, "OPEN", "", "");
  AddEventHandler(leaf, "Open", Code(Handler2), 0);
  EXPECT_EQ(FindEventHandler(leaf, newOpen), Code(Handler2));
  EXPECT_EQ(FindEventHandler(leaf, oldOpen), nullptr);
  AddEventHandler(upper, "Open", Code(Handler3), 0);
  EXPECT_EQ(FindEventHandler(leaf, oldOpen), Code(Handler3));
  ClassRecord* stranger = classes.Make("Stranger", nullptr, 24, false);
  AddEventHandler(stranger, "Open", Code(Handler1), 0);
  EXPECT_EQ(FindEventHandler(stranger, oldOpen), nullptr);
}

TEST_F(ObjectModel, HooksByKeyPreferTheMostDerivedClass) {
  ClassRecord* base = classes.Make("Base", nullptr, 24, false);
  ClassRecord* leaf = classes.Make("Leaf", base, 24, false);
  AddEventHandler(base, "x", Code(Handler1), 42);
  AddEventHandler(base, "y", Code(Handler3), 7);
  AddEventHandler(leaf, "z", Code(Handler2), 42);
  ObjectRecord* o = NewObjectOfClass(leaf);
  EXPECT_EQ(RuntimeFindHookCode(o, 42), Code(Handler2));
  EXPECT_EQ(RuntimeFindHookCode(o, 7), Code(Handler3));
  EXPECT_EQ(RuntimeFindHookCode(o, 8), nullptr);
  EXPECT_EQ(RuntimeFindHookCode(nullptr, 42), nullptr);
  RuntimeUnlockObject(o);
}

TEST_F(ObjectModel, InterfaceTablesAreFilledByNameAlongTheChainAndVTablesIndexed) {
  ClassRecord* iface = classes.Make("Shape", nullptr, 24, false);
  iface->isInterface = 1;
  AddMethod(iface, "Area", nullptr);
  AddMethod(iface, "Name", nullptr);
  ClassRecord* base = classes.Make("Base", nullptr, 24, false);
  AddMethod(base, "name", Code(Handler1));
  ClassRecord* square = classes.Make("Square", base, 24, false);
  AddMethod(square, "Area", Code(Handler2));
  AddInterface(square, iface);
  ClassRecord* broken = classes.Make("Broken", nullptr, 24, false);
  ClassRecord* table[] = {iface, base, square, broken};
  SetClassTable(table, 4);
  EXPECT_TRUE(BuildInterfaceTables());
  EXPECT_EQ(iface->methods->interfaceSlot, 1u);
  EXPECT_EQ(iface->methods->next->interfaceSlot, 2u);
  EXPECT_TRUE(iface->methods->flags & kInterfaceMethod);
  CodeAddress vtable[] = {Code(Handler1), Code(Handler2)};
  square->vtable = vtable;
  square->vtableCount = 2;
  ObjectRecord* o = NewObjectOfClass(square);
  EXPECT_EQ(FindInterfaceVTableCode(o, 1, 0), Code(Handler2));
  EXPECT_EQ(FindInterfaceVTableCode(o, 2, 0), Code(Handler1));
  EXPECT_EQ(FindInterfaceVTableCode(o, 3, 0), nullptr);
  EXPECT_EQ(FindVTableCode(o, 1), Code(Handler2));
  EXPECT_EQ(FindVTableCode(o, 2), nullptr);
  EXPECT_EQ(gAssertions.size(), 1u);
  RuntimeUnlockObject(o);
  // A class that claims the interface without one of its methods fails the build.
  AddInterface(broken, iface);
  AddMethod(broken, "Area", Code(Handler3));
  EXPECT_FALSE(BuildInterfaceTables());
}

TEST_F(ObjectModel, TheReportNamesUnnamedClassesByTheirNearestNamedSuperclass) {
  ClassRecord* named = classes.Make("Gadget", nullptr, 24, false);
  ClassRecord* unnamed = classes.Make("", named, 24, false);
  ClassRecord* anonymous = classes.Make("", nullptr, 24, false);
  ObjectRecord* a = NewObjectOfClass(unnamed);
  ObjectRecord* b = NewObjectOfClass(anonymous);
  TempFolder folder;
  StringRef path = StringRef::Adopt(NewString(folder.Path() + "\\objects.log"));
  debugDumpObjects(path.get());
  uint32_t heap = SmallBlockBytesInUse();
  int32_t live = LiveObjectCount();
  std::ifstream in(std::string(path.View()), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  in.close();
  std::string expectedStart = std::to_string(heap) + " used in heap1\r\n" + std::to_string(live) +
                              " objects\r\n<Unnamed object class>\r\nGadget\r\n";
  EXPECT_EQ(text.str().substr(0, expectedStart.size()), expectedStart);
  DeleteFileA(std::string(path.View()).c_str());
  RuntimeUnlockObject(b);
  RuntimeUnlockObject(a);
}

TEST_F(ObjectModel, FieldAccessorsCountReferencesOfWhatTheyStoreAndSignExtend) {
  ClassRecord* c = classes.Make("Holder", nullptr, 36, false);
  ObjectRecord* holder = NewObjectOfClass(c);
  ObjectRecord* item = NewObjectOfClass(c);
  objSetter(holder, 24, item);
  objSetter(holder, 24, item);  // storing the same object again keeps one reference
  EXPECT_EQ(item->refCount, 2u);
  ObjectRecord* got = objGetter(holder, 24);
  EXPECT_EQ(got, item);
  EXPECT_EQ(item->refCount, 3u);
  RuntimeUnlockObject(got);
  objSetter(holder, 24, nullptr);
  EXPECT_EQ(item->refCount, 1u);
  StringRecord* s = NewString("text");
  stringSetter(holder, 28, s);
  EXPECT_EQ(s->refCount, 2u);
  StringRecord* read = stringGetter(holder, 28);
  EXPECT_EQ(read, s);
  RuntimeUnlockString(read);
  stringSetter(holder, 28, nullptr);
  EXPECT_EQ(s->refCount, 1u);
  RuntimeUnlockString(s);
  shortFieldSetter(holder, 32, 0xFFFF8001);
  byteFieldSetter(holder, 34, 0x80);
  EXPECT_EQ(shortFieldGetter(holder, 32), -32767);  // the byte after it is its own field
  EXPECT_EQ(byteFieldGetter(holder, 34), -128);
  intFieldSetter(holder, 28, -5);
  EXPECT_EQ(intFieldGetter(holder, 28), -5);
  RuntimeUnlockObject(item);
  RuntimeUnlockObject(holder);
}

TEST(BuiltInClasses, SystemObjectsAreNewEachTimeTheApplicationObjectIsShared) {
  ObjectRecord* s1 = getSystemObject();
  ObjectRecord* s2 = getSystemObject();
  EXPECT_NE(s1, s2);
  EXPECT_EQ(StringView(s1->cls->name), "SystemClass");
  ObjectRecord* k = getKeyboardObject();
  EXPECT_EQ(StringView(k->cls->name), "Sys$Keyboard");
  ObjectRecord* app = NewObjectOfClass(FindBuiltInClass("Application"));
  SetApplicationObject(app);
  ObjectRecord* a1 = getAppObject();
  ObjectRecord* a2 = getAppObject();
  EXPECT_EQ(a1, app);
  EXPECT_EQ(a2, app);
  EXPECT_EQ(app->refCount, 4u);  // ours, the runtime's and two handed out
  RuntimeUnlockObject(a1);
  RuntimeUnlockObject(a2);
  SetApplicationObject(nullptr);
  EXPECT_EQ(app->refCount, 1u);
  for (ObjectRecord* o : {s1, s2, k, app}) RuntimeUnlockObject(o);
}

TEST(BuiltInClasses, SynchronisationObjectsOwnASystemObject) {
  ObjectRecord* sem = NewObjectOfClass(FindBuiltInClass("Semaphore"));
  HANDLE h = FieldAt<HANDLE>(sem, 24);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  RuntimeUnlockObject(sem);
  EXPECT_FALSE(ReleaseSemaphore(h, 1, nullptr));  // closed with the object
  ObjectRecord* cs = NewObjectOfClass(FindBuiltInClass("CriticalSection"));
  EXPECT_TRUE(TryEnterCriticalSection(&FieldAt<CRITICAL_SECTION>(cs, 24)));
  LeaveCriticalSection(&FieldAt<CRITICAL_SECTION>(cs, 24));
  RuntimeUnlockObject(cs);
}

}  // namespace
