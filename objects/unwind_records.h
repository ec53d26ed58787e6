// Reading the record lists that compiled code carries for the exception
// unwinder (their formats are in sdk/exception_records.h). The lists lie in
// code the runtime did not write and may be damaged anywhere, so their
// reading is kept apart from the two things around it that need Windows:
// where the bytes come from (the unwinder checks every code page with the
// memory manager before it reads) and what a record asks for (releasing a
// slot, taking the exception into a handler). The readers see a source of
// bytes and a visitor only, so the same code runs under the host's fuzzer.
#pragma once
#include <cstdint>

// How far the scan from a call site looks for its function's records, and
// how many records a list may have: beyond either the tables are not there.
inline constexpr uint32_t kMaxScanBytes = 1u << 20;
inline constexpr uint32_t kMaxListBytes = 4096;

// Code bytes in address order. After the first byte that cannot be read,
// Byte() yields 0 and Ok() is false for good.
class CodeBytes {
 public:
  virtual uint8_t Byte() = 0;
  virtual bool Ok() const = 0;
  // The address of the byte Byte() reads next.
  virtual uintptr_t Here() const = 0;

 protected:
  ~CodeBytes() = default;
};

// What the records of a list ask for, in record order.
class UnwindVisitor {
 public:
  enum class Held { kString, kObject };
  // Read the reference in the slot at `slot`, clear the slot, release the reference.
  virtual void Release(Held kind, uintptr_t slot) = 0;
  // A catch of the class at `classIndex` with its handler at `handler`.
  // True ends the function's list there: the catch took the exception (or
  // tried to and found the frame broken).
  virtual bool Catch(int32_t classIndex, uintptr_t handler) = 0;
  // A table error: an unknown record, which reading steps over, or a list
  // that cannot be read to its end, after which the reader returns failure.
  virtual void Damage(const char* what) = 0;

 protected:
  ~UnwindVisitor() = default;
};

// Reads a call-site list from its first record through its end byte,
// releasing at `stack` + each record's offset; sets `*noCatch` when record
// 7 is there (otherwise leaves it). False, after telling `visitor`, when the
// list has no end within kMaxListBytes records or runs into unreadable code.
bool ReadCallSiteList(CodeBytes& code, uintptr_t stack, UnwindVisitor& visitor, bool* noCatch);

// Moves `code` past the first leave, ret, marker ahead of it, looking at
// most kMaxScanBytes bytes. False, after telling `visitor`, when none is found.
bool SkipToFunctionList(CodeBytes& code, UnwindVisitor& visitor);

enum class FunctionListEnd { kEnd, kCaught, kBroken };

// Reads a function list from its first record: releases at `frame` + each
// record's slot, and offers each catch, unless `noCatch`, until one ends the
// list (kCaught). kBroken, after telling `visitor`, when the list has no end
// within kMaxListBytes records or a record runs into unreadable code.
FunctionListEnd ReadFunctionList(CodeBytes& code, uintptr_t frame, bool noCatch, UnwindVisitor& visitor);
