// The exception unwinder; see unwinder.h. The frame chain and the tables come
// from code and stacks the runtime did not write, so nothing is dereferenced
// before the memory manager has said that it is there: frames and stack
// slots are checked with VirtualQuery, and code bytes through a reader that
// remembers the last readable region so that the byte-by-byte scan for a
// function's records does not ask for every byte. What the record lists say
// is read in unwind_records.cpp; this file acts on it.
#include "objects/unwinder.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "objects/assertion.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "objects/unwind_records.h"
#include "sdk/exception_records.h"

namespace {

using namespace vs_exceptions;

const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                        PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
const DWORD kWritable =
    PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// The end of the committed region holding `address` when its protection
// allows `wanted`, else 0.
uintptr_t AllowedRegionEnd(uintptr_t address, DWORD wanted) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) != sizeof info) return 0;
  if (info.State != MEM_COMMIT) return 0;
  if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return 0;
  if (!(info.Protect & wanted)) return 0;
  uintptr_t end = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
  return end ? end : UINTPTR_MAX;  // a region that reaches the top of the address space
}

bool RangeAllows(const void* address, size_t size, DWORD wanted) {
  uintptr_t at = reinterpret_cast<uintptr_t>(address);
  if (size == 0) return true;
  if (at + size < at) return false;
  uintptr_t last = at + size - 1;
  for (;;) {
    uintptr_t end = AllowedRegionEnd(at, wanted);
    if (end == 0) return false;
    if (end == UINTPTR_MAX || last < end) return true;
    at = end;
  }
}

uintptr_t WordAt(uintptr_t address) {
  uint32_t word;
  std::memcpy(&word, reinterpret_cast<const void*>(address), sizeof word);
  return word;
}

// Code bytes as the memory manager allows them to be read.
class CodeReader final : public CodeBytes {
 public:
  explicit CodeReader(const uint8_t* at) : at_(reinterpret_cast<uintptr_t>(at)) {}

  bool Ok() const override { return ok_; }
  uintptr_t Here() const override { return at_; }

  uint8_t Byte() override {
    if (!ok_ || !Readable(at_)) return Fail();
    return *reinterpret_cast<const uint8_t*>(at_++);
  }
  // Releases may run code that changes what is mapped.
  void Forget() { known_start_ = known_end_ = 0; }

 private:
  bool Readable(uintptr_t address) {
    if (address >= known_start_ && address < known_end_) return true;
    uintptr_t end = AllowedRegionEnd(address, kReadable);
    if (end == 0) return false;
    known_start_ = address;
    known_end_ = end;
    return true;
  }
  uint8_t Fail() {
    ok_ = false;
    return 0;
  }

  uintptr_t at_;
  uintptr_t known_start_ = 0;
  uintptr_t known_end_ = 0;
  bool ok_ = true;
};

// Reads the reference at `slot`, clears the slot, then releases the reference.
template <typename Record, void (*Unlock)(Record*)>
void ReleaseSlot(uintptr_t slot) {
  void* address = reinterpret_cast<void*>(slot);
  if (!RuntimeCheck(IsWritableMemory(address, sizeof(Record*)),
                    "exception: a slot to release is not writable"))
    return;
  Record* reference;
  std::memcpy(&reference, address, sizeof reference);
  std::memset(address, 0, sizeof reference);
  Unlock(reference);
}

void ReleaseString(uintptr_t slot) { ReleaseSlot<StringRecord, RuntimeUnlockString>(slot); }
void ReleaseObject(uintptr_t slot) { ReleaseSlot<ObjectRecord, RuntimeUnlockObject>(slot); }

enum class FrameOutcome { kPassed, kCaught, kBroken };

FrameOutcome Broken(const char* what) {
  RuntimeCheck(false, what);
  return FrameOutcome::kBroken;
}

bool HasCallSiteList(const uint8_t* returnAddress) {
  return returnAddress[0] == kShortJump && returnAddress[2] == kMarker;
}

// Takes `exception` into the catching frame and says where to go on.
FrameOutcome TakeException(ObjectRecord* exception, uintptr_t frame, uintptr_t caller,
                           const uint8_t* handler, UnwindTarget* target) {
  if (!IsReadableMemory(handler, 1)) return Broken("exception: a handler lies outside the code");
  void* slot = reinterpret_cast<void*>(caller + kCurrentExceptionSlot);
  if (!IsWritableMemory(slot, sizeof exception))
    return Broken("exception: the current-exception slot is not writable");
  std::memcpy(slot, &exception, sizeof exception);
  target->handled = true;
  target->frame = reinterpret_cast<void*>(caller);
  target->stack = reinterpret_cast<void*>(frame + kCallerStackFromFrame);
  target->handler = const_cast<uint8_t*>(handler);
  return FrameOutcome::kCaught;
}

// What the records of a compiled frame ask of the walk.
class FrameRecords final : public UnwindVisitor {
 public:
  FrameRecords(CodeReader& code, ObjectRecord* exception, uintptr_t frame, uintptr_t caller, UnwindTarget* target)
      : code_(code), exception_(exception), frame_(frame), caller_(caller), target_(target) {}

  // Where a catch that ended the function's list left the walk.
  FrameOutcome caught = FrameOutcome::kBroken;

  void Release(Held kind, uintptr_t slot) override {
    if (kind == Held::kString)
      ReleaseString(slot);
    else
      ReleaseObject(slot);
    code_.Forget();
  }
  bool Catch(int32_t classIndex, uintptr_t handler) override {
    if (!RuntimeObjectIsa(exception_, classIndex)) return false;
    caught = TakeException(exception_, frame_, caller_, reinterpret_cast<const uint8_t*>(handler), target_);
    return true;
  }
  void Damage(const char* what) override { RuntimeCheck(false, what); }

 private:
  CodeReader& code_;
  ObjectRecord* exception_;
  uintptr_t frame_, caller_;
  UnwindTarget* target_;
};

// A frame of compiled code: `frame` is its callee's frame, `caller` its own.
FrameOutcome VisitCompiledFrame(ObjectRecord* exception, uintptr_t frame, uintptr_t caller,
                                const uint8_t* returnAddress, UnwindTarget* target) {
  CodeReader code(returnAddress + 3);
  FrameRecords records(code, exception, frame, caller, target);
  bool noCatch = false;
  if (!ReadCallSiteList(code, frame + kCallerStackFromFrame, records, &noCatch)) return FrameOutcome::kBroken;
  if (!SkipToFunctionList(code, records)) return FrameOutcome::kBroken;
  switch (ReadFunctionList(code, caller, noCatch, records)) {
    case FunctionListEnd::kBroken:
      return FrameOutcome::kBroken;
    case FunctionListEnd::kCaught:
      return records.caught;
    case FunctionListEnd::kEnd:
      break;
  }
  ReleaseObject(caller + kCurrentExceptionSlot);
  return FrameOutcome::kPassed;
}

}  // namespace

bool IsReadableMemory(const void* address, size_t size) {
  return RangeAllows(address, size, kReadable);
}
bool IsWritableMemory(const void* address, size_t size) {
  return RangeAllows(address, size, kWritable);
}

UnwindTarget UnwindFrames(ObjectRecord* exception, void* start) {
  uintptr_t frame = reinterpret_cast<uintptr_t>(start);
  for (;;) {
    if (!IsReadableMemory(reinterpret_cast<void*>(frame), 12)) return {};
    uintptr_t caller = WordAt(frame);
    const auto* returnAddress = reinterpret_cast<const uint8_t*>(WordAt(frame + 4));
    // A caller's frame lies above its callee's: one at or below would send
    // releases and the handler into abandoned stack, or walk in a circle.
    if (caller <= frame) return {};
    if (!IsReadableMemory(returnAddress, 4)) return {};
    if (HasCallSiteList(returnAddress)) {
      UnwindTarget target;
      FrameOutcome outcome = VisitCompiledFrame(exception, frame, caller, returnAddress, &target);
      if (outcome == FrameOutcome::kCaught) return target;
      if (outcome == FrameOutcome::kBroken) return {};
    }
    if (caller - frame > kMaxFrameDistance) return {};
    frame = caller;
  }
}

void ContinueInHandler(const UnwindTarget& target) {
  // The registers are fixed so that loading EBP cannot clobber an operand
  // still to be read.
  __asm__ volatile(
      "movl %0, %%ebp\n\t"
      "movl %1, %%esp\n\t"
      "jmp *%2"
      :
      : "c"(target.frame), "d"(target.stack), "a"(target.handler)
      : "memory");
  __builtin_unreachable();
}
