// The exception unwinder against code laid out the way compiled code is:
// small functions assembled by hand into executable memory, with call-site
// lists after their calls and function records after their epilogues. They
// raise for real, so a handler that is taken really runs, on the catching
// function's frame, and returns to the test through leave and ret. The stop
// rules would end the test process on the unhandled path, so they are
// checked on hand-built stacks through UnwindFrames, which does the whole
// walk but hands back the target instead of jumping to it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/exceptions.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "objects/unwinder.h"
#include "sdk/exception_records.h"

namespace {

std::vector<std::string> gLog;
std::vector<std::string> gAssertions;

// What handlers and helpers saw, written by assembled code.
uint32_t gHandlerException;
int32_t gHandlerStackOffset;
uint32_t gHandlerArgumentSlot;
uint32_t gOtherHandlerRan;
uint32_t gStringCountAtCatch;

void RecordAssertion(const char* what) { gAssertions.push_back(what); }

void __cdecl LogDestructor(ObjectRecord*, ClassRecord* c) {
  gLog.push_back("delete " + std::string(StringView(c->name)));
}

// Called from a handler: the moment the catch runs.
void NoteCatch() { gLog.push_back("catch"); }

// Class indexes of the table the fixture installs.
enum : int16_t { kRuntimeException, kIllegalCast, kTestError, kThing, kOther };

// Writes x86 code and the unwinder's tables at a fixed address, so that call
// operands can be computed as the bytes are written.
class Assembler {
 public:
  explicit Assembler(uint8_t* at) : at_(at) {}
  uint8_t* Here() const { return at_; }

  void Byte(uint8_t b) { *at_++ = b; }
  void Bytes(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) Byte(b);
  }
  void Word(uint32_t w) {
    for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(w >> (8 * i)));
  }
  void Pointer(const void* p) { Word(reinterpret_cast<uint32_t>(p)); }
  void BigInt16(int16_t v) {
    Byte(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    Byte(static_cast<uint8_t>(v));
  }
  void BigInt32(int32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      Byte(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
  }

  // push ebp; mov ebp, esp; sub esp, locals; and an empty exception slot.
  void Prologue(uint8_t locals) {
    Bytes({0x55, 0x89, 0xE5, 0x83, 0xEC, locals});
    StoreLocal(-4, 0u);
  }
  void StoreLocal(int8_t disp, uint32_t value) {  // mov dword [ebp+disp], value
    Bytes({0xC7, 0x45, static_cast<uint8_t>(disp)});
    Word(value);
  }
  void StoreLocal(int8_t disp, const void* value) {
    StoreLocal(disp, reinterpret_cast<uint32_t>(value));
  }
  void LoadLocal(int8_t disp) {
    Bytes({0x8B, 0x45, static_cast<uint8_t>(disp)});
  }                                                                  // mov eax, [ebp+disp]
  void LoadStack(uint8_t disp) { Bytes({0x8B, 0x44, 0x24, disp}); }  // mov eax, [esp+disp]
  void StoreEax(const void* address) {                               // mov [address], eax
    Byte(0xA3);
    Pointer(address);
  }
  void StoreImmediate(const void* address, uint32_t value) {  // mov dword [address], value
    Bytes({0xC7, 0x05});
    Pointer(address);
    Word(value);
  }
  void MovEax(uint32_t value) {
    Byte(0xB8);
    Word(value);
  }
  void Push(uint32_t value) {
    Byte(0x68);
    Word(value);
  }
  void Push(const void* value) { Push(reinterpret_cast<uint32_t>(value)); }
  void PushEax() { Byte(0x50); }
  void Drop(uint8_t bytes) { Bytes({0x83, 0xC4, bytes}); }      // add esp, bytes
  void StackOffsetToEax() { Bytes({0x89, 0xE0, 0x29, 0xE8}); }  // mov eax, esp; sub eax, ebp
  void Call(const void* target) {
    Byte(0xE8);
    Word(static_cast<uint32_t>(reinterpret_cast<const uint8_t*>(target) - (at_ + 4)));
  }
  void CallSiteList(std::initializer_list<uint8_t> records) {
    Bytes({vs_exceptions::kShortJump, static_cast<uint8_t>(records.size() + 2),
           vs_exceptions::kMarker});
    Bytes(records);
    Byte(vs_exceptions::kEndOfList);
  }
  // A short jump whose target comes later: Land() points it here.
  uint8_t* JumpForward() {
    Bytes({0xEB, 0});
    return at_ - 1;
  }
  void Land(uint8_t* jump) { *jump = static_cast<uint8_t>(at_ - (jump + 1)); }

  // leave; ret; marker: the function records follow, ended by End().
  void Epilogue() {
    Bytes({vs_exceptions::kLeave, vs_exceptions::kReturn, vs_exceptions::kMarker});
  }
  void Catch(int16_t classIndex, const uint8_t* handler) {
    Byte(vs_exceptions::kFunctionCatch);
    BigInt16(classIndex);
    BigInt32(static_cast<int32_t>(handler - at_));
  }
  void ReleaseString(int16_t slot) {
    Byte(vs_exceptions::kFunctionString);
    BigInt16(slot);
  }
  void ReleaseObject(int16_t slot) {
    Byte(vs_exceptions::kFunctionObject);
    BigInt16(slot);
  }
  void End() { Byte(vs_exceptions::kEndOfList); }

 private:
  uint8_t* at_;
};

// Calls assembled code the way runtime code calls compiled code. A handler
// resumes with EBX, ESI and EDI as the abandoned frames left them (see
// sdk/exception_records.h), so the call declares them clobbered.
uint32_t CallCode(const void* code) {
  uint32_t result;
  __asm__ volatile("call *%1"
                   : "=a"(result)
                   : "r"(code)
                   : "ebx", "ecx", "edx", "esi", "edi", "memory", "cc");
  return result;
}

// A local of a raising function that its function records release.
struct Local {
  int8_t slot;
  const void* value;
  uint8_t record;  // kFunctionString or kFunctionObject
};

class UnwindFixture : public testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    gAssertions.clear();
    gHandlerException = 0;
    gHandlerStackOffset = 0;
    gHandlerArgumentSlot = 0xFFFFFFFF;
    gOtherHandlerRan = 0;
    gStringCountAtCatch = 0;
    previous_ = SetAssertionRecorder(RecordAssertion);
    ClassRecord* runtimeException = FindBuiltInClass("RuntimeException");
    testError_ = Make("TestError", runtimeException);
    ClassRecord* table[] = {runtimeException, FindBuiltInClass("IllegalCastException"), testError_,
                            Make("Thing", nullptr), Make("Other", nullptr)};
    SetClassTable(table, 5);
    code_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, kCodeBytes, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    ASSERT_NE(code_, nullptr);
    next_ = code_;
  }
  void TearDown() override {
    SetAssertionRecorder(previous_);
    SetClassTable(nullptr, 0);
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) DestroyClassRecord(*it);
    VirtualFree(code_, 0, MEM_RELEASE);
  }

  ClassRecord* Make(const char* name, ClassRecord* super) {
    ClassRecord* c = NewClassRecord(name);
    c->superclass = super;
    c->destructor = reinterpret_cast<CodeAddress>(LogDestructor);
    made_.push_back(c);
    return c;
  }

  // An assembler for the next function; Done() moves past what it wrote.
  Assembler Function() { return Assembler(next_); }
  const uint8_t* Done(const Assembler& a) {
    const uint8_t* start = next_;
    next_ = const_cast<uint8_t*>(a.Here()) + 16;
    FlushInstructionCache(GetCurrentProcess(), code_, kCodeBytes);
    return start;
  }

  // A function that raises a new TestError as compiled code does: the new
  // object's reference lives in the pushed argument, which the call-site
  // records release. Its function records release `locals`.
  const uint8_t* Raiser(std::vector<Local> locals = {},
                        std::initializer_list<uint8_t> siteRecords = {
                            vs_exceptions::kCallSiteObject, 0}) {
    Assembler a = Function();
    a.Prologue(static_cast<uint8_t>(8 + 4 * locals.size()));
    for (const Local& local : locals) a.StoreLocal(local.slot, local.value);
    a.Push(kTestError);
    a.Call(reinterpret_cast<const void*>(RuntimeNewObject));
    a.Drop(4);
    a.PushEax();
    a.Call(reinterpret_cast<const void*>(RuntimeRaiseException));
    a.CallSiteList(siteRecords);
    a.Epilogue();
    for (const Local& local : locals) {
      if (local.record == vs_exceptions::kFunctionString)
        a.ReleaseString(local.slot);
      else
        a.ReleaseObject(local.slot);
    }
    a.End();
    return Done(a);
  }

  // A function that calls `callee` with the call-site records given and
  // catches `classIndex`: it returns 0 when the call returns; its handler
  // logs "catch", notes the exception and ESP - EBP, and returns the local
  // at EBP - 8, which holds `local`.
  const uint8_t* Catcher(const void* callee, int16_t classIndex, uint32_t local = 1234,
                         std::initializer_list<uint8_t> siteRecords = {}) {
    Assembler a = Function();
    a.Prologue(12);
    a.StoreLocal(-8, local);
    a.Call(callee);
    a.CallSiteList(siteRecords);
    a.MovEax(0);
    uint8_t* toEpilogue = a.JumpForward();
    const uint8_t* handler = a.Here();
    a.StackOffsetToEax();
    a.StoreEax(&gHandlerStackOffset);
    a.Call(reinterpret_cast<const void*>(NoteCatch));
    a.CallSiteList({});
    a.LoadLocal(-4);
    a.StoreEax(&gHandlerException);
    a.LoadLocal(-8);
    a.Land(toEpilogue);
    a.Epilogue();
    a.Catch(classIndex, handler);
    a.End();
    return Done(a);
  }

  // outer (catches TestError, returns 2) -> middle (catches TestError,
  // returns 1; its exception slot holds `older`) -> a raiser. The call in
  // middle carries `middleRecords`. Without a raise the result would be 0.
  uint32_t ThreeLevels(ObjectRecord* older, std::initializer_list<uint8_t> middleRecords) {
    const uint8_t* raiser = Raiser();
    Assembler m = Function();
    m.Prologue(8);
    m.StoreLocal(-4, older);
    m.Call(raiser);
    m.CallSiteList(middleRecords);
    m.MovEax(0);
    uint8_t* toEpilogue = m.JumpForward();
    const uint8_t* middleHandler = m.Here();
    m.LoadLocal(-4);
    m.StoreEax(&gHandlerException);
    m.MovEax(1);
    m.Land(toEpilogue);
    m.Epilogue();
    m.Catch(kTestError, middleHandler);
    m.End();
    const uint8_t* middle = Done(m);

    Assembler o = Function();
    o.Prologue(8);
    o.Call(middle);
    o.CallSiteList({});
    uint8_t* outerEnd = o.JumpForward();
    const uint8_t* outerHandler = o.Here();
    o.LoadLocal(-4);
    o.StoreEax(&gHandlerException);
    o.MovEax(2);
    o.Land(outerEnd);
    o.Epilogue();
    o.Catch(kTestError, outerHandler);
    o.End();
    return CallCode(Done(o));
  }

  ObjectRecord* Caught() const { return reinterpret_cast<ObjectRecord*>(gHandlerException); }
  // The catching frame's slot keeps a reference that compiled code would
  // release when the function ends; the test does it instead.
  void ReleaseCaught() { RuntimeUnlockObject(Caught()); }

  static const size_t kCodeBytes = 65536;
  uint8_t* code_ = nullptr;
  uint8_t* next_ = nullptr;
  ClassRecord* testError_ = nullptr;
  std::vector<ClassRecord*> made_;
  AssertionRecorder previous_ = nullptr;
};

class UnwindCatch : public UnwindFixture {};
class UnwindRelease : public UnwindFixture {};
class UnwindNoCatch : public UnwindFixture {};
class UnwindRuntimeFrames : public UnwindFixture {};
class UnwindTables : public UnwindFixture {};
class UnwindRaise : public UnwindFixture {};

TEST_F(UnwindCatch, HandlerContinuesOnTheCatchingFrame) {
  // The exception comes straight out of a call in the catching function: its
  // argument is still pushed when the handler runs, and record 2 0 has
  // released it.
  Assembler a = Function();
  a.Prologue(12);
  a.StoreLocal(-8, 1234);
  a.Push(kTestError);
  a.Call(reinterpret_cast<const void*>(RuntimeNewObject));
  a.Drop(4);
  a.PushEax();
  a.Call(reinterpret_cast<const void*>(RuntimeRaiseException));
  a.CallSiteList({vs_exceptions::kCallSiteObject, 0});
  const uint8_t* handler = a.Here();
  a.LoadLocal(-4);
  a.StoreEax(&gHandlerException);
  a.LoadStack(0);
  a.StoreEax(&gHandlerArgumentSlot);
  a.StackOffsetToEax();
  a.StoreEax(&gHandlerStackOffset);
  a.LoadLocal(-8);
  a.Epilogue();
  a.Catch(kTestError, handler);
  a.End();

  EXPECT_EQ(CallCode(Done(a)), 1234u);  // a local read through EBP, then leave and ret
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->cls, testError_);
  EXPECT_EQ(gHandlerStackOffset, -12 - 4);  // the locals and the pushed argument
  EXPECT_EQ(gHandlerArgumentSlot, 0u);
  EXPECT_EQ(Caught()->refCount, 1u);  // the slot's, taken by the raise
  ReleaseCaught();
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete TestError"}));
}

TEST_F(UnwindCatch, CatchInTheCallerOfTheRaisingFunction) {
  EXPECT_EQ(CallCode(Catcher(Raiser(), kTestError, 77)), 77u);
  EXPECT_EQ(gLog, (std::vector<std::string>{"catch"}));
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->cls, testError_);
  EXPECT_EQ(gHandlerStackOffset, -12);  // nothing was pushed for the call
  EXPECT_EQ(Caught()->refCount, 1u);
  ReleaseCaught();
}

TEST_F(UnwindCatch, RuntimeExceptionCatchTakesAnIllegalCastException) {
  ObjectRecord* thing = RuntimeNewObject(kThing);
  Assembler a = Function();
  a.Prologue(8);
  a.Push(kOther);
  a.Push(thing);
  a.Call(reinterpret_cast<const void*>(RuntimeCheckCast));
  a.CallSiteList({});
  a.Drop(8);
  a.MovEax(0);
  uint8_t* toEpilogue = a.JumpForward();
  const uint8_t* otherHandler = a.Here();
  a.StoreImmediate(&gOtherHandlerRan, 1);
  const uint8_t* handler = a.Here();
  a.LoadLocal(-4);
  a.StoreEax(&gHandlerException);
  a.MovEax(1);
  a.Land(toEpilogue);
  a.Epilogue();
  a.Catch(kOther, otherHandler);  // the first record does not match
  a.Catch(kRuntimeException, handler);
  a.End();

  EXPECT_EQ(CallCode(Done(a)), 1u);
  EXPECT_EQ(gOtherHandlerRan, 0u);
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(StringView(Caught()->cls->name), "IllegalCastException");
  // Raised inside the runtime: the new object's one reference went to the slot.
  EXPECT_EQ(Caught()->refCount, 1u);
  ReleaseCaught();
  RuntimeUnlockObject(thing);
}

TEST_F(UnwindCatch, FirstMatchingCatchWins) {
  const uint8_t* raiser = Raiser();
  Assembler a = Function();
  a.Prologue(8);
  a.Call(raiser);
  a.CallSiteList({});
  a.MovEax(0);
  uint8_t* toEpilogue = a.JumpForward();
  const uint8_t* first = a.Here();
  a.MovEax(1);
  uint8_t* firstDone = a.JumpForward();
  const uint8_t* second = a.Here();
  a.MovEax(2);
  a.Land(firstDone);
  a.Land(toEpilogue);
  a.Epilogue();
  a.Catch(kRuntimeException, first);  // both records match
  a.Catch(kTestError, second);
  a.End();
  EXPECT_EQ(CallCode(Done(a)), 1u);
}

TEST_F(UnwindRelease, LocalsOfTheAbandonedFrameGoBeforeTheCatchRuns) {
  StringRecord* text = NewString("local text");
  RuntimeLockString(text);                         // one reference for the test, one for the local
  ObjectRecord* thing = RuntimeNewObject(kThing);  // the local's only reference
  const uint8_t* raiser = Raiser(
      {{-8, text, vs_exceptions::kFunctionString}, {-12, thing, vs_exceptions::kFunctionObject}});
  Assembler a = Function();
  a.Prologue(8);
  a.Call(raiser);
  a.CallSiteList({});
  a.MovEax(0);
  uint8_t* toEpilogue = a.JumpForward();
  const uint8_t* handler = a.Here();
  a.Byte(0xA1);  // mov eax, [text->refCount]
  a.Pointer(&text->refCount);
  a.StoreEax(&gStringCountAtCatch);
  a.Call(reinterpret_cast<const void*>(NoteCatch));
  a.CallSiteList({});
  a.LoadLocal(-4);
  a.StoreEax(&gHandlerException);
  a.Land(toEpilogue);
  a.Epilogue();
  a.Catch(kTestError, handler);
  a.End();

  CallCode(Done(a));
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Thing", "catch"}));
  EXPECT_EQ(gStringCountAtCatch, 1u);
  EXPECT_EQ(text->refCount, 1u);
  ASSERT_NE(Caught(), nullptr);
  ReleaseCaught();
  RuntimeUnlockString(text);
}

TEST_F(UnwindRelease, CallSiteRecordsReleaseTheArgumentsOfTheCall) {
  // A string and the exception pushed as arguments of the raising call:
  // records 1 4 and 2 0 find them 4 and 0 bytes above the stack pointer.
  StringRecord* text = NewString("argument");
  RuntimeLockString(text);
  Assembler a = Function();
  a.Prologue(8);
  a.Push(text);
  a.Push(kTestError);
  a.Call(reinterpret_cast<const void*>(RuntimeNewObject));
  a.Drop(4);
  a.PushEax();
  a.Call(reinterpret_cast<const void*>(RuntimeRaiseException));
  a.CallSiteList({vs_exceptions::kCallSiteString, 4, vs_exceptions::kCallSiteObject, 0});
  const uint8_t* handler = a.Here();
  a.LoadStack(4);
  a.StoreEax(&gHandlerArgumentSlot);
  a.LoadLocal(-4);
  a.StoreEax(&gHandlerException);
  a.Epilogue();
  a.Catch(kRuntimeException, handler);
  a.End();

  CallCode(Done(a));
  EXPECT_EQ(text->refCount, 1u);
  EXPECT_EQ(gHandlerArgumentSlot, 0u);
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->refCount, 1u);
  ReleaseCaught();
  RuntimeUnlockString(text);
}

TEST_F(UnwindNoCatch, Record7LetsTheExceptionLeaveTheFunction) {
  ObjectRecord* older = RuntimeNewObject(kThing);  // the middle slot's reference
  EXPECT_EQ(ThreeLevels(older, {vs_exceptions::kCallSiteNoCatch}), 2u);  // the outer handler
  // Leaving the middle function released what its exception slot held.
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Thing"}));
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->cls, testError_);
  ReleaseCaught();
}

TEST_F(UnwindNoCatch, WithoutRecord7TheSameFunctionCatches) {
  ObjectRecord* older = RuntimeNewObject(kThing);
  EXPECT_EQ(ThreeLevels(older, {}), 1u);
  EXPECT_TRUE(gLog.empty());
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->cls, testError_);
  ReleaseCaught();
  RuntimeUnlockObject(older);  // the catch stored over the slot that held it
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

TEST_F(UnwindRuntimeFrames, AFrameOfRuntimeCodeIsPassedOver) {
  StringRecord* text = NewString("inner local");
  RuntimeLockString(text);
  gInner = Raiser({{-8, text, vs_exceptions::kFunctionString}});
  EXPECT_EQ(CallCode(Catcher(reinterpret_cast<const void*>(CppMiddle), kTestError, 99)), 99u);
  EXPECT_EQ(gLog, (std::vector<std::string>{"catch"}));
  EXPECT_EQ(text->refCount, 1u);  // the frame below the runtime's was released
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->cls, testError_);
  ReleaseCaught();
  RuntimeUnlockString(text);
}

TEST_F(UnwindRuntimeFrames, RaiseInsideTheRuntimeReachesCompiledCatch) {
  const uint8_t* code =
      Catcher(reinterpret_cast<const void*>(RuntimeNilObject), kRuntimeException, 55);
  EXPECT_EQ(CallCode(code), 55u);
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(StringView(Caught()->cls->name), "NilObjectException");
  EXPECT_EQ(Caught()->refCount, 1u);
  ReleaseCaught();
}

TEST_F(UnwindTables, MalformedCallSiteRecordIsReportedAndTheWalkGoesOn) {
  // 9 is no record; the 2 0 after it still releases the argument.
  const uint8_t* raiser = Raiser({}, {9, vs_exceptions::kCallSiteObject, 0});
  EXPECT_EQ(CallCode(Catcher(raiser, kTestError)), 1234u);
  ASSERT_EQ(gAssertions.size(), 1u);
  EXPECT_NE(gAssertions[0].find("call-site"), std::string::npos) << gAssertions[0];
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(Caught()->refCount, 1u);  // the argument's reference was released
  ReleaseCaught();
}

using RaiseCase = std::pair<void (*)(), const char*>;
class UnwindRaiseOperations : public UnwindFixture,
                              public testing::WithParamInterface<RaiseCase> {};

TEST_P(UnwindRaiseOperations, RaisesANewObjectOfItsClass) {
  const uint8_t* code =
      Catcher(reinterpret_cast<const void*>(GetParam().first), kRuntimeException, 8);
  EXPECT_EQ(CallCode(code), 8u);
  ASSERT_NE(Caught(), nullptr);
  EXPECT_EQ(StringView(Caught()->cls->name), GetParam().second);
  EXPECT_EQ(Caught()->refCount, 1u);
  ReleaseCaught();
}

void RaiseNil() { RuntimeRaiseException(nullptr); }

INSTANTIATE_TEST_SUITE_P(
    UnwindRaise, UnwindRaiseOperations,
    testing::Values(RaiseCase{RaiseNilObjectException, "NilObjectException"},
                    RaiseCase{RaiseIllegalCastException, "IllegalCastException"},
                    RaiseCase{RaiseOutOfBoundsException, "OutOfBoundsException"},
                    RaiseCase{RaiseTypeMismatchException, "typeMismatchException"},
                    RaiseCase{RaiseEndException, "EndException"},
                    RaiseCase{RaiseNil, "NilObjectException"}));

TEST_F(UnwindRaise, ReraiseAndStackCheckDoNothing) {
  int32_t live = LiveObjectCount();
  RuntimeReraiseException();
  RuntimeStackCheck();
  EXPECT_EQ(LiveObjectCount(), live);
  EXPECT_TRUE(gAssertions.empty());
}

// --- the walk on hand-built stacks ------------------------------------------

// Pages with chosen protections, for stacks and code the walk must not
// read past.
class Pages {
 public:
  explicit Pages(int count) {
    base_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, count * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
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

class UnwindStop : public UnwindFixture {
 protected:
  void SetUp() override {
    UnwindFixture::SetUp();
    exception_ = RuntimeNewObject(kTestError);
  }
  void TearDown() override {
    RuntimeUnlockObject(exception_);
    UnwindFixture::TearDown();
  }

  uint32_t* Word(size_t index) { return reinterpret_cast<uint32_t*>(stack_.Page(0)) + index; }
  uint32_t At(size_t index) { return reinterpret_cast<uint32_t>(Word(index)); }
  // The frame at `index` returns to `returnAddress` in the function whose
  // frame is at `caller`.
  void Link(size_t index, uint32_t caller, const void* returnAddress) {
    *Word(index) = caller;
    *Word(index + 1) = reinterpret_cast<uint32_t>(returnAddress);
  }
  // A call site's lists: `siteRecords`, then a function whose records are
  // written by `records`.
  template <typename Records>
  const uint8_t* Site(std::initializer_list<uint8_t> siteRecords, Records records) {
    Assembler a = Function();
    a.CallSiteList(siteRecords);
    a.Bytes({0x90, 0x90});
    a.Epilogue();
    records(a);
    a.End();
    return Done(a);
  }
  const uint8_t* CatchSite() {
    return Site({}, [this](Assembler& a) { a.Catch(kTestError, code_); });
  }
  UnwindTarget Walk(size_t frame) { return UnwindFrames(exception_, Word(frame)); }

  Pages stack_{6};
  ObjectRecord* exception_ = nullptr;
};

TEST_F(UnwindStop, CatchAboveTheFrameGivesTheResumeTarget) {
  Link(100, At(200), CatchSite());
  UnwindTarget target = Walk(100);
  ASSERT_TRUE(target.handled);
  EXPECT_EQ(target.frame, Word(200));
  EXPECT_EQ(target.stack, Word(102));  // just above the return address
  EXPECT_EQ(target.handler, code_);    // the offset field + a negative offset
  EXPECT_EQ(*Word(199), reinterpret_cast<uint32_t>(exception_));
  EXPECT_EQ(exception_->refCount, 1u);  // the walk hands over the caller's reference
}

TEST_F(UnwindStop, CallerAtOrBelowTheFrameEndsTheWalk) {
  const uint8_t* site = CatchSite();
  for (size_t caller : {100u, 50u}) {
    *Word(caller - 1) = 0xABCD;
    Link(100, At(caller), site);
    EXPECT_FALSE(Walk(100).handled) << caller;
    EXPECT_EQ(*Word(caller - 1), 0xABCDu) << caller;  // no catch was stored there
  }
  EXPECT_TRUE(gAssertions.empty());
}

TEST_F(UnwindStop, FrameMoreThan4096BytesBelowItsCallerEndsTheWalk) {
  // 0 -> distant (releases an object, then the walk stops) -> a catching frame.
  const uint8_t* release = Site({}, [](Assembler& a) { a.ReleaseObject(-8); });
  for (size_t distant : {1025u, 1024u}) {  // 4100 and 4096 bytes above frame 0
    ObjectRecord* local = RuntimeNewObject(kThing);
    *Word(distant - 2) = reinterpret_cast<uint32_t>(local);
    Link(0, At(distant), release);
    Link(distant, At(distant + 10), CatchSite());
    bool handled = Walk(0).handled;
    EXPECT_EQ(*Word(distant - 2), 0u) << distant;  // the distant frame's records were still read
    EXPECT_EQ(handled, distant == 1024u) << distant;
    if (handled) RuntimeLockObject(exception_);  // the catch took the fixture's reference
  }
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Thing", "delete Thing"}));
}

TEST_F(UnwindStop, UnreadableReturnAddressOrFrameEndsTheWalk) {
  Pages code(1);
  code.Protect(0, PAGE_NOACCESS);
  Link(0, At(10), code.Page(0));
  EXPECT_FALSE(Walk(0).handled);
  // The walk moves up into a frame on a page it may not read.
  stack_.Protect(1, PAGE_NOACCESS);
  Link(1000, At(Pages::kPage / 4), Site({}, [](Assembler&) {}));
  EXPECT_FALSE(Walk(1000).handled);
  EXPECT_TRUE(gAssertions.empty());
}

TEST_F(UnwindStop, ReturnWithoutListIsPassedOver) {
  // The bytes after the return address are not a list, though a function's
  // records with a catch follow later: the frame holds nothing.
  Assembler a = Function();
  a.Bytes({0x90, 0x90, 0x90});
  a.Epilogue();
  a.Catch(kTestError, code_);
  a.End();
  const uint8_t* plain = Done(a);
  *Word(19) = 0xABCD;
  Link(0, At(20), plain);
  Link(20, At(40), CatchSite());
  UnwindTarget target = Walk(0);
  ASSERT_TRUE(target.handled);
  EXPECT_EQ(target.frame, Word(40));
  EXPECT_EQ(*Word(19), 0xABCDu);  // neither a catch nor a slot release at 20
}

TEST_F(UnwindStop, CurrentExceptionSlotIsReleasedWhenTheExceptionLeaves) {
  ObjectRecord* older = RuntimeNewObject(kThing);
  *Word(19) = reinterpret_cast<uint32_t>(older);
  Link(0, At(20), Site({}, [](Assembler&) {}));
  Link(20, At(40), CatchSite());
  ASSERT_TRUE(Walk(0).handled);
  EXPECT_EQ(*Word(19), 0u);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Thing"}));
  RuntimeLockObject(exception_);
}

TEST_F(UnwindStop, FunctionRecordsBeyondReadableCodeAreReported) {
  Pages code(2);
  code.Protect(1, PAGE_NOACCESS);
  // A call-site list at the end of the readable page, and no records after it.
  uint8_t* site = code.Page(1) - 8;
  std::memcpy(site, "\xEB\x02\x2F\x00\x90\x90\x90\x90", 8);
  Link(0, At(10), site);
  EXPECT_FALSE(Walk(0).handled);
  ASSERT_EQ(gAssertions.size(), 1u);
  EXPECT_NE(gAssertions[0].find("function records"), std::string::npos) << gAssertions[0];
}

TEST_F(UnwindStop, HandlerOutsideReadableCodeIsReported) {
  Pages code(1);
  code.Protect(0, PAGE_NOACCESS);
  Link(0, At(10), Site({}, [&](Assembler& a) { a.Catch(kTestError, code.Page(0)); }));
  EXPECT_FALSE(Walk(0).handled);
  ASSERT_EQ(gAssertions.size(), 1u);
  EXPECT_NE(gAssertions[0].find("handler"), std::string::npos) << gAssertions[0];
  EXPECT_EQ(*Word(9), 0u);
}

TEST_F(UnwindStop, UnwritableSlotIsReportedAndTheWalkGoesOn) {
  // Record 2 88 names the first word of a read-only page.
  stack_.Protect(1, PAGE_READONLY);
  const size_t frame = 1000;
  const uint8_t offset = (Pages::kPage / 4 - frame - 2) * 4;
  Link(frame, At(frame + 10), Site({vs_exceptions::kCallSiteObject, offset}, [this](Assembler& a) {
         a.Catch(kTestError, code_);
       }));
  UnwindTarget target = Walk(frame);
  EXPECT_TRUE(target.handled);
  ASSERT_EQ(gAssertions.size(), 1u);
  EXPECT_NE(gAssertions[0].find("not writable"), std::string::npos) << gAssertions[0];
  RuntimeLockObject(exception_);
}

// --- memory checks -------------------------------------------------------------

TEST(UnwindMemory, ProtectionDecidesWhatMayBeReadOrWritten) {
  Pages pages(4);
  pages.Protect(1, PAGE_READONLY);
  pages.Protect(2, PAGE_NOACCESS);
  pages.Protect(3, PAGE_READWRITE | PAGE_GUARD);
  EXPECT_TRUE(IsReadableMemory(pages.Page(0), Pages::kPage));
  EXPECT_TRUE(IsWritableMemory(pages.Page(0), Pages::kPage));
  EXPECT_TRUE(IsReadableMemory(pages.Page(1), 4));
  EXPECT_FALSE(IsWritableMemory(pages.Page(1), 4));
  EXPECT_FALSE(IsReadableMemory(pages.Page(2), 1));
  EXPECT_FALSE(IsReadableMemory(pages.Page(3), 1));
  // Ranges across regions: every byte counts.
  EXPECT_TRUE(IsReadableMemory(pages.Page(1) - 2, 4));
  EXPECT_FALSE(IsWritableMemory(pages.Page(1) - 2, 4));
  EXPECT_FALSE(IsReadableMemory(pages.Page(2) - 2, 4));
  EXPECT_TRUE(IsReadableMemory(pages.Page(2) - 4, 4));
}

TEST(UnwindMemory, UncommittedNullAndWrappingRangesAreNotReadable) {
  void* reserved = VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(reserved, nullptr);
  EXPECT_FALSE(IsReadableMemory(reserved, 4));
  VirtualFree(reserved, 0, MEM_RELEASE);
  EXPECT_FALSE(IsReadableMemory(nullptr, 4));
  int local = 0;
  EXPECT_TRUE(IsReadableMemory(&local, sizeof local));
  EXPECT_FALSE(IsReadableMemory(&local, 0u - reinterpret_cast<uintptr_t>(&local) + 4));
}

// --- the unhandled message -------------------------------------------------------

TEST(UnwindUnhandled, EveryPercentOneBecomesTheClassName) {
  EXPECT_EQ(UnhandledExceptionText(
                "An exception of class %1 was not handled.\rThe application must shut down.",
                "OutOfBoundsException"),
            "An exception of class OutOfBoundsException was not handled.\rThe application must "
            "shut down.");
  EXPECT_EQ(UnhandledExceptionText("%1/%1", "E"), "E/E");
  EXPECT_EQ(UnhandledExceptionText("%%1 %2 100%", "E"), "%E %2 100%");
  EXPECT_EQ(UnhandledExceptionText("", "E"), "");
}

}  // namespace
