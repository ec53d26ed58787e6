// The unwinder's record-list readers; see unwind_records.h. They decide only
// what the bytes say: how far a list goes, which records it holds and where
// their slots and handlers are. Whether the bytes could be read is the
// source's answer and what a record does is the visitor's, so a damaged list
// ends here as a failure that the unwinder turns into an unhandled walk.
#include "objects/unwind_records.h"

#include "sdk/exception_records.h"

namespace {

using namespace vs_exceptions;

// Numbers in function records are big-endian.
int16_t Int16(CodeBytes& code) {
  uint32_t high = code.Byte();
  return static_cast<int16_t>(high << 8 | code.Byte());
}

int32_t Int32(CodeBytes& code) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | code.Byte();
  return static_cast<int32_t>(value);
}

FunctionListEnd Broken(UnwindVisitor& visitor, const char* what) {
  visitor.Damage(what);
  return FunctionListEnd::kBroken;
}

}  // namespace

bool ReadCallSiteList(CodeBytes& code, uintptr_t stack, UnwindVisitor& visitor, bool* noCatch) {
  for (uint32_t read = 0; read < kMaxListBytes; ++read) {
    uint8_t record = code.Byte();
    if (!code.Ok()) break;
    if (record == kEndOfList) return true;
    if (record == kCallSiteString || record == kCallSiteObject) {
      uintptr_t slot = stack + code.Byte();
      if (!code.Ok()) break;
      visitor.Release(record == kCallSiteString ? UnwindVisitor::Held::kString : UnwindVisitor::Held::kObject,
                      slot);
    } else if (record == kCallSiteNoCatch) {
      *noCatch = true;
    } else {
      visitor.Damage("exception: unknown call-site record");
    }
  }
  visitor.Damage("exception: a call-site list has no end");
  return false;
}

bool SkipToFunctionList(CodeBytes& code, UnwindVisitor& visitor) {
  uint8_t previous2 = 0, previous1 = 0;
  for (uint32_t scanned = 0; scanned < kMaxScanBytes; ++scanned) {
    uint8_t byte = code.Byte();
    if (!code.Ok()) break;
    if (previous2 == kLeave && previous1 == kReturn && byte == kMarker) return true;
    previous2 = previous1;
    previous1 = byte;
  }
  visitor.Damage("exception: no function records after a call site");
  return false;
}

FunctionListEnd ReadFunctionList(CodeBytes& code, uintptr_t frame, bool noCatch, UnwindVisitor& visitor) {
  for (uint32_t read = 0; read < kMaxListBytes; ++read) {
    uint8_t record = code.Byte();
    if (!code.Ok()) return Broken(visitor, "exception: function records run into unreadable code");
    switch (record) {
      case kEndOfList:
        return FunctionListEnd::kEnd;
      case kFunctionCatch: {
        int32_t classIndex = Int16(code);
        uintptr_t offsetField = code.Here();
        int32_t offset = Int32(code);
        if (!code.Ok()) return Broken(visitor, "exception: a catch record runs into unreadable code");
        // The handler wraps around the address space as the 32-bit program's
        // address arithmetic does.
        if (!noCatch && visitor.Catch(classIndex, offsetField + static_cast<uintptr_t>(offset)))
          return FunctionListEnd::kCaught;
        break;
      }
      case kFunctionString:
      case kFunctionObject: {
        uintptr_t slot = frame + static_cast<uintptr_t>(Int16(code));
        if (!code.Ok()) return Broken(visitor, "exception: a release record runs into unreadable code");
        visitor.Release(record == kFunctionString ? UnwindVisitor::Held::kString : UnwindVisitor::Held::kObject,
                        slot);
        break;
      }
      default:
        visitor.Damage("exception: unknown function record");
        break;
    }
  }
  return Broken(visitor, "exception: a function record list has no end");
}
