// The unwinder against functions assembled by hand as compiled code is laid
// out, raising for real. The stop rules would end the process, so they run on
// hand-built stacks through UnwindFrames, which returns the target instead.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "menu_test_support.h"
#include "recorded_assertions.h"
#include "objects/arrays.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/exceptions.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "objects/unwinder.h"
#include "sdk/exception_records.h"

namespace {

using Names = std::vector<std::string>;
Names gLog;

// What handlers and helpers saw, written by assembled code: the exception,
// ESP - EBP, the word at ESP + 4 and which catch record took it (from 1).
uint32_t gHandlerException, gHandlerSecondWord, gCaughtBy;
int32_t gHandlerStackOffset;
std::function<void()> gOnCatch;

void __cdecl LogDestructor(ObjectRecord*, ClassRecord* c) {
  gLog.push_back("delete " + std::string(StringView(c->name)));
}

// Called from a handler: the moment the catch runs.
void NoteCatch() {
  gLog.push_back("catch");
  if (gOnCatch) gOnCatch();
}

// Class indexes of the table the fixture installs.
enum : int16_t { kRuntimeException, kIllegalCast, kTestError, kThing, kOther };

// Writes x86 code and the unwinder's tables at a fixed address (call operands need it).
class Assembler {
 public:
  explicit Assembler(uint8_t* at) : at_(at) {}
  uint8_t* Here() const { return at_; }

  void Bytes(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) *at_++ = b;
  }
  void Word(uint32_t w) {
    for (int shift = 0; shift < 32; shift += 8) *at_++ = static_cast<uint8_t>(w >> shift);
  }
  void Word(const void* p) { Word(reinterpret_cast<uint32_t>(p)); }
  void BigEndian(uint32_t v, int bytes) {
    while (bytes--) *at_++ = static_cast<uint8_t>(v >> (8 * bytes));
  }

  // push ebp; mov ebp, esp; sub esp, locals; and an empty exception slot.
  void Prologue(uint8_t locals) {
    Bytes({0x55, 0x89, 0xE5, 0x83, 0xEC, locals});
    StoreLocal(-4, 0u);
  }
  void StoreLocal(int8_t disp, uint32_t value) { Bytes({0xC7, 0x45, static_cast<uint8_t>(disp)}); Word(value); }
  void LoadLocal(int8_t disp) { Bytes({0x8B, 0x45, static_cast<uint8_t>(disp)}); }  // mov eax, [ebp+disp]
  void LoadStack(uint8_t disp) { Bytes({0x8B, 0x44, 0x24, disp}); }                 // mov eax, [esp+disp]
  void StoreEax(const void* address) { Bytes({0xA3}); Word(address); }              // mov [address], eax
  void StoreImmediate(const void* address, uint32_t value) { Bytes({0xC7, 0x05}); Word(address); Word(value); }
  void MovEax(uint32_t value) { Bytes({0xB8}); Word(value); }
  void Push(uint32_t value) { Bytes({0x68}); Word(value); }
  void Drop(uint8_t bytes) { Bytes({0x83, 0xC4, bytes}); }      // add esp, bytes
  void StackOffsetToEax() { Bytes({0x89, 0xE0, 0x29, 0xE8}); }  // mov eax, esp; sub eax, ebp
  void Call(const void* target) {
    Bytes({0xE8});
    Word(static_cast<uint32_t>(reinterpret_cast<const uint8_t*>(target) - (at_ + 4)));
  }
  void CallSiteList(std::initializer_list<uint8_t> records) {
    Bytes({vs_exceptions::kShortJump, static_cast<uint8_t>(records.size() + 2), vs_exceptions::kMarker});
    Bytes(records);
    Bytes({vs_exceptions::kEndOfList});
  }
  // A short jump whose target comes later: Land() points it here.
  uint8_t* JumpForward() {
    Bytes({0xEB, 0});
    return at_ - 1;
  }
  void Land(uint8_t* jump) { *jump = static_cast<uint8_t>(at_ - (jump + 1)); }

  // leave; ret; marker: the function records follow, ended by End().
  void Epilogue() { Bytes({vs_exceptions::kLeave, vs_exceptions::kReturn, vs_exceptions::kMarker}); }
  void Catch(int16_t classIndex, const uint8_t* handler) {
    Bytes({vs_exceptions::kFunctionCatch});
    BigEndian(static_cast<uint16_t>(classIndex), 2);
    BigEndian(static_cast<uint32_t>(handler - at_), 4);
  }
  void Release(uint8_t record, int16_t slot) { Bytes({record}); BigEndian(static_cast<uint16_t>(slot), 2); }
  void End() { Bytes({vs_exceptions::kEndOfList}); }

 private:
  uint8_t* at_;
};

// Calls assembled code as the runtime calls compiled code. A handler resumes with
// EBX, ESI and EDI as the abandoned frames left them, so the call clobbers them.
uint32_t CallCode(const void* code) {
  uint32_t result;
  __asm__ volatile("call *%1" : "=a"(result) : "r"(code) : "ebx", "ecx", "edx", "esi", "edi", "memory", "cc");
  return result;
}

// Pages with chosen protections, for stacks and code the walk must not read past.
class Pages {
 public:
  explicit Pages(int count, DWORD protection = PAGE_READWRITE)
      : base_(static_cast<uint8_t*>(VirtualAlloc(nullptr, count * kPage, MEM_COMMIT | MEM_RESERVE, protection))) {}
  ~Pages() { VirtualFree(base_, 0, MEM_RELEASE); }
  uint8_t* Page(int i) const { return base_ + i * kPage; }
  void Protect(int i, DWORD protection) {
    DWORD old;
    VirtualProtect(Page(i), kPage, protection, &old);
  }
  static const size_t kPage = 4096;

 private:
  uint8_t* base_;
};

// Assembled functions that raise for real, and hand-built stacks for the stop
// rules, walked with the fixture's own TestError.
class Unwind : public testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    gHandlerException = gCaughtBy = gHandlerStackOffset = 0;
    gHandlerSecondWord = 0xFFFFFFFF;
    gOnCatch = nullptr;
    ClassRecord* runtimeException = FindBuiltInClass("RuntimeException");
    ClassRecord* table[] = {runtimeException, FindBuiltInClass("IllegalCastException"),
                            Make("TestError", runtimeException),
                            Make("Thing", nullptr), Make("Other", nullptr)};
    SetClassTable(table, 5);
    exception_ = RuntimeNewObject(kTestError);
  }
  void TearDown() override {
    RuntimeUnlockObject(exception_);
    SetClassTable(nullptr, 0);
  }

  ClassRecord* Make(const char* name, ClassRecord* super) {
    ClassRecord* c = classes_.Make(name, super, sizeof(ObjectRecord));
    c->destructor = menutest::Code(LogDestructor);
    return c;
  }

  // An assembler for the next function; Done() moves past what it wrote.
  Assembler Function() { return Assembler(next_); }
  const uint8_t* Done(const Assembler& a) {
    const uint8_t* start = next_;
    next_ = const_cast<uint8_t*>(a.Here()) + 16;
    FlushInstructionCache(GetCurrentProcess(), start, a.Here() - start);
    return start;
  }

  // Calls `callee` with `arguments` and `siteRecords`, catching `classes` in order: returns 0
  // if the call returns, else, after the handler's notes and NoteCatch, the local kLocal.
  static constexpr uint32_t kLocal = 1234;
  const uint8_t* Catcher(const void* callee, std::initializer_list<int16_t> classes,
                         std::initializer_list<uint32_t> arguments = {},
                         std::initializer_list<uint8_t> siteRecords = {}) {
    Assembler a = Function();
    a.Prologue(12);
    a.StoreLocal(-8, kLocal);
    for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) a.Push(*it);
    a.Call(callee);
    a.CallSiteList(siteRecords);
    if (arguments.size()) a.Drop(static_cast<uint8_t>(4 * arguments.size()));
    a.MovEax(0);
    uint8_t* toEpilogue = a.JumpForward();
    std::vector<const uint8_t*> handlers;
    std::vector<uint8_t*> toBody;
    for (size_t i = 0; i < classes.size(); ++i) {
      handlers.push_back(a.Here());
      a.StoreImmediate(&gCaughtBy, static_cast<uint32_t>(i + 1));
      toBody.push_back(a.JumpForward());
    }
    for (uint8_t* jump : toBody) a.Land(jump);
    a.LoadStack(4);
    a.StoreEax(&gHandlerSecondWord);
    a.StackOffsetToEax();
    a.StoreEax(&gHandlerStackOffset);
    a.Call(reinterpret_cast<const void*>(NoteCatch));
    a.CallSiteList({});
    a.LoadLocal(-4);
    a.StoreEax(&gHandlerException);
    a.LoadLocal(-8);
    a.Land(toEpilogue);
    a.Epilogue();
    for (size_t i = 0; i < classes.size(); ++i) a.Catch(classes.begin()[i], handlers[i]);
    a.End();
    return Done(a);
  }

  // Releases the caught slot, whose reference must be the only one: the raise took its maker's.
  void ReleaseCaught(const char* className = "TestError") {
    auto* caught = reinterpret_cast<ObjectRecord*>(gHandlerException);
    ASSERT_NE(caught, nullptr);
    EXPECT_EQ(StringView(caught->cls->name), className);
    EXPECT_EQ(caught->refCount, 1u);
    RuntimeUnlockObject(caught);
  }

  uint32_t* Word(size_t index) { return reinterpret_cast<uint32_t*>(stack_.Page(0)) + index; }
  uint32_t At(size_t index) { return reinterpret_cast<uint32_t>(Word(index)); }
  // Frame `index` returns to `returnAddress` in the function whose frame is at `caller`.
  void Link(size_t index, uint32_t caller, const void* returnAddress) {
    *Word(index) = caller;
    *Word(index + 1) = reinterpret_cast<uint32_t>(returnAddress);
  }
  // A call site's lists: `siteRecords`, then function records: a catch of
  // TestError at `handler` if given, and the release of the object in `slot`.
  const uint8_t* Site(std::initializer_list<uint8_t> siteRecords, const uint8_t* handler = nullptr,
                      int16_t slot = 0) {
    Assembler a = Function();
    a.CallSiteList(siteRecords);
    a.Bytes({0x90, 0x90});
    a.Epilogue();
    if (handler) a.Catch(kTestError, handler);
    if (slot) a.Release(vs_exceptions::kFunctionObject, slot);
    a.End();
    return Done(a);
  }
  const uint8_t* CatchSite() { return Site({}, code_); }
  UnwindTarget Walk(size_t frame) { return UnwindFrames(exception_, Word(frame)); }
  // The walk ended in a catch, which took the fixture's reference: take another.
  void Relock() { RuntimeLockObject(exception_); }

  Pages codePages_{16, PAGE_EXECUTE_READWRITE};
  uint8_t* const code_ = codePages_.Page(0);
  uint8_t* next_ = code_;
  menutest::ScratchClasses classes_;
  RecordedAssertions assertions_;
  Pages stack_{6};
  ObjectRecord* exception_ = nullptr;
};

TEST_F(Unwind, TheFirstMatchingHandlerOfTheRaisingCallRunsOnItsFrameWithTheArgumentsReleased) {
  // The exception and a string pushed as arguments: records 2 0 and 1 4 find
  // them 0 and 4 bytes above the stack pointer, where the handler sees them cleared.
  StringRecord* text = NewString("argument");
  RuntimeLockString(text);  // one reference for the test, one for the argument
  ObjectRecord* exception = RuntimeNewObject(kTestError);  // the argument's reference
  const uint8_t* code = Catcher(reinterpret_cast<const void*>(RuntimeRaiseException),
                                {kOther, kRuntimeException, kTestError},
                                {reinterpret_cast<uint32_t>(exception), reinterpret_cast<uint32_t>(text)},
                                {vs_exceptions::kCallSiteString, 4, vs_exceptions::kCallSiteObject, 0});
  EXPECT_EQ(CallCode(code), kLocal);        // a local read through EBP, then leave and ret
  EXPECT_EQ(gCaughtBy, 2u);                 // Other does not match, both later records do
  EXPECT_EQ(gHandlerStackOffset, -12 - 8);  // the locals and both arguments
  EXPECT_EQ(gHandlerSecondWord, 0u);        // the string's; the object's is cleared by the same code
  EXPECT_EQ(text->refCount, 1u);
  ReleaseCaught();  // a superclass's catch took it
  EXPECT_EQ(gLog, (Names{"catch", "delete TestError"}));
  RuntimeUnlockString(text);
}

// Runtime code between two compiled frames: its return address carries no
// list, so the walk passes over it along the saved frame pointers.
const void* gInner;
__attribute__((noinline)) uint32_t CppMiddle() {
  volatile uint32_t local = 5;
  CallCode(gInner);
  gLog.push_back("after inner");
  return local;
}

TEST_F(Unwind, LocalsOfAbandonedFramesGoBeforeTheCatchRunsPastAFrameOfRuntimeCode) {
  StringRecord* text = NewString("local text");
  RuntimeLockString(text);                         // one reference for the test, one for the local
  ObjectRecord* thing = RuntimeNewObject(kThing);  // the local's only reference
  uint32_t countAtCatch = 0;
  gOnCatch = [&] { countAtCatch = text->refCount; };
  // Raises a new TestError as compiled code does, its reference in the pushed argument
  // (released by the call-site records); the function records release the two locals.
  Assembler a = Function();
  a.Prologue(16);
  a.StoreLocal(-8, reinterpret_cast<uint32_t>(text));
  a.StoreLocal(-12, reinterpret_cast<uint32_t>(thing));
  a.Push(kTestError);
  a.Call(reinterpret_cast<const void*>(RuntimeNewObject));
  a.Drop(4);
  a.Bytes({0x50});  // push eax
  a.Call(reinterpret_cast<const void*>(RuntimeRaiseException));
  a.CallSiteList({vs_exceptions::kCallSiteObject, 0});
  a.Epilogue();
  a.Release(vs_exceptions::kFunctionString, -8);
  a.Release(vs_exceptions::kFunctionObject, -12);
  a.End();
  gInner = Done(a);
  EXPECT_EQ(CallCode(Catcher(reinterpret_cast<const void*>(CppMiddle), {kTestError})), kLocal);
  EXPECT_EQ(gLog, (Names{"delete Thing", "catch"}));  // and the runtime code did not go on
  EXPECT_EQ(countAtCatch, 1u);
  ReleaseCaught();
  RuntimeUnlockString(text);
}

// What an array refuses, it refuses with a raise from inside the runtime.
ArrayRecord* gArray;  // the test disposes of it: a raise does not return
ObjectRecord* gThing;  // of a class that is not Other, for a cast that fails

TEST_F(Unwind, EachRaiseOperationAndRefusedArrayRequestRaisesANewObjectOfItsClass) {
  const char* const kBounds = "OutOfBoundsException";
  const std::pair<void (*)(), const char*> rows[] = {{[] { RuntimeRaiseException(nullptr); }, "NilObjectException"},
                                                     {RuntimeNilObject, "NilObjectException"},
                                                     {[] { RuntimeCheckCast(gThing, kOther); }, "IllegalCastException"},
                                                     {[] {
                                                        RuntimeArrayCreateAddIndex(gArray, 0, 9);
                                                        RuntimeDirectReadIntArray(gArray, 10);
                                                      },
                                                      kBounds},
                                                     {[] {
                                                        for (int d = 0; d < 21; ++d)
                                                          RuntimeArrayCreateAddIndex(gArray, 0, 1);
                                                      },
                                                      kBounds},
                                                     {[] {  // the cursor is not on the last of three dimensions
                                                        for (int d = 0; d < 3; ++d)
                                                          RuntimeArrayCreateAddIndex(gArray, 0, 1);
                                                        RuntimeArrayStartWriteAccess(gArray, 0);
                                                        RuntimeWriteIntArray(gArray, 0, 1);
                                                      },
                                                      kBounds}};
  gThing = exception_;
  for (size_t row = 0; row < std::size(rows); ++row) {
    const auto& [raise, name] = rows[row];
    SCOPED_TRACE(testing::Message() << "row " << row << ": " << name);
    gArray = RuntimeCreateArray();
    EXPECT_EQ(CallCode(Catcher(reinterpret_cast<const void*>(raise), {kRuntimeException})), kLocal);
    ReleaseCaught(name);
    RuntimeDisposeIntArray(gArray);
  }
}

TEST_F(Unwind, TheCallersListsDecideWhereTheWalkStopsAndWhatItReleasesAndBadFramesEndIt) {
  // Frame 0 returns into frame 20, whose exception slot holds an object, then into a
  // catching frame at 40.
  const uint8_t* withCatch = Site({}, code_);
  const struct {
    const char* what;
    const uint8_t* site;
    size_t caughtAt;
    bool released;
  } rows[] = {{"no list", withCatch + 4, 40, false},  // past the list, on the nops before the records
              {"empty lists", Site({}), 40, true},
              {"a catch", withCatch, 20, false},
              {"a catch and record 7", Site({vs_exceptions::kCallSiteNoCatch}, code_), 40, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    gLog.clear();
    ObjectRecord* older = RuntimeNewObject(kThing);
    *Word(19) = reinterpret_cast<uint32_t>(older);
    Link(0, At(20), row.site);
    Link(20, At(40), CatchSite());
    uint32_t references = exception_->refCount;
    UnwindTarget target = Walk(0);
    ASSERT_TRUE(target.handled);
    EXPECT_EQ(target.frame, Word(row.caughtAt));
    EXPECT_EQ(target.stack, Word(row.caughtAt - 20 + 2));  // just above the return address
    EXPECT_EQ(target.handler, code_);                      // the offset field + a negative offset
    EXPECT_EQ(exception_->refCount, references);           // the walk hands the caller's reference over
    ObjectRecord* slot = row.released ? nullptr : row.caughtAt == 20 ? exception_ : older;
    EXPECT_EQ(*Word(19), reinterpret_cast<uint32_t>(slot));
    EXPECT_EQ(gLog, row.released ? Names{"delete Thing"} : Names{});
    if (!row.released) RuntimeUnlockObject(older);  // the slot kept it, or the catch stored over it
    Relock();
  }
  gLog.clear();
  // 0 -> distant (releases an object, then the walk stops) -> a catching frame.
  const uint8_t* release = Site({}, nullptr, -8);
  for (size_t distant : {1025u, 1024u}) {  // 4100 and 4096 bytes above frame 0
    *Word(distant - 2) = reinterpret_cast<uint32_t>(RuntimeNewObject(kThing));
    Link(0, At(distant), release);
    Link(distant, At(distant + 10), CatchSite());
    bool handled = Walk(0).handled;
    EXPECT_EQ(*Word(distant - 2), 0u) << distant;  // the distant frame's records were still read
    EXPECT_EQ(handled, distant == 1024u) << distant;
    if (handled) Relock();
  }
  EXPECT_EQ(gLog, (Names{"delete Thing", "delete Thing"}));
  *Word(99) = 0xABCD;
  Link(100, At(100), CatchSite());  // a frame that is its own caller
  EXPECT_FALSE(Walk(100).handled);
  EXPECT_EQ(*Word(99), 0xABCDu);  // no catch was stored there
  Pages code(1, PAGE_NOACCESS);
  Link(0, At(10), code.Page(0));
  EXPECT_FALSE(Walk(0).handled);
  stack_.Protect(1, PAGE_NOACCESS);  // the walk moves up into a frame it may not read
  Link(1000, At(Pages::kPage / 4), Site({}));
  EXPECT_FALSE(Walk(1000).handled);
  EXPECT_TRUE(assertions_.seen.empty());
}

// What the walk does past broken tables; its reports reach no one once the program runs.
TEST_F(Unwind, BrokenTablesEndTheWalkOrSkipOnlyWhatTheyBreak) {
  Pages code(2);
  code.Protect(1, PAGE_NOACCESS);
  // A call-site list at the end of the readable page, and no records after it.
  uint8_t* site = code.Page(1) - 8;
  std::memcpy(site, "\xEB\x02\x2F\x00\x90\x90\x90\x90", 8);
  Link(0, At(10), site);
  EXPECT_FALSE(Walk(0).handled);
  Link(0, At(10), Site({}, code.Page(1)));  // a handler on an unreadable page
  EXPECT_FALSE(Walk(0).handled);
  EXPECT_EQ(*Word(9), 0u) << "a catch was stored for a broken frame";
  // Record 2 88 names the first word of a read-only page.
  stack_.Protect(1, PAGE_READONLY);
  const uint8_t offset = (Pages::kPage / 4 - 1000 - 2) * 4;
  Link(1000, At(1010), Site({vs_exceptions::kCallSiteObject, offset}, code_));
  EXPECT_TRUE(Walk(1000).handled);
  Relock();
  // 9 is no record; the 2 0 after it still releases the argument.
  *Word(2) = reinterpret_cast<uint32_t>(RuntimeNewObject(kThing));
  Link(0, At(10), Site({9, vs_exceptions::kCallSiteObject, 0}, code_));
  EXPECT_TRUE(Walk(0).handled);
  Relock();
  EXPECT_EQ(*Word(2), 0u) << "the argument was not released";
  EXPECT_EQ(gLog, Names{"delete Thing"});
}

}  // namespace
