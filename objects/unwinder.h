// The exception unwinder: walks the saved frame pointers from a raise up
// through compiled code, releasing what each abandoned frame holds, until a
// catch takes the exception. Stacks and code tables can be damaged, so every
// address is checked with the memory manager before it is read or written;
// a walk that meets something it cannot read ends as unhandled rather than
// faulting. The record formats are in sdk/exception_records.h.
#pragma once
#include <cstddef>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

// True when every byte of [address, address + size) is committed memory that
// may be read (or written), without touching it.
bool IsReadableMemory(const void* address, size_t size);
bool IsWritableMemory(const void* address, size_t size);

// Where a caught exception continues: the catching function's frame pointer,
// the stack pointer to resume with, and the handler's address.
struct UnwindTarget {
  bool handled = false;
  void* frame = nullptr;
  void* stack = nullptr;
  CodeAddress handler = nullptr;
};

// Walks up from `frame` (the frame of the raise operation), releasing the
// references of every frame it leaves. When a catch takes `exception` it is
// stored in the catching frame's current-exception slot (the walk hands over
// one reference the caller holds) and the target says where to continue;
// otherwise the result is not handled and the walk has released everything
// it passed.
UnwindTarget UnwindFrames(ObjectRecord* exception, void* frame);

// Abandons the current stack below `target.stack` and jumps to the handler.
[[noreturn]] void ContinueInHandler(const UnwindTarget& target);
