// The tables that compiled code carries for the exception unwinder, and what a
// handler finds when the unwinder hands control to it. Code generators write
// these bytes and the runtime reads them, so both take the numbers from here.
//
// Call-site list, directly after a `call rel32` (E8) whose callee may raise:
//   EB n            a short jump over the n bytes that follow
//   2F              marker
//   records         1 b / 2 b: a string / object reference at byte offset b
//                   (unsigned) from the caller's stack pointer at the call
//                   (the return address's slot + 4): read, cleared, released;
//                   7: catches of this function must not take exceptions
//                   raised out of this call
//   00              end
// The empty list is EB 02 2F 00. Any other record byte is a table error: the
// unwinder reports it to the runtime's assertion hook and reads on.
//
// Function list, after the function's epilogue:
//   C9 C3           leave, ret
//   2F              marker
//   records         4 class(i16) offset(i32): catch exceptions that are of
//                   the class at that index (subclasses included) at the
//                   address of the offset field + offset;
//                   5 slot(i16) / 6 slot(i16): a string / object reference at
//                   frame pointer + slot: read, cleared, released
//   00              end
// Numbers in function records are big-endian and signed. The first matching
// catch, in record order, wins.
//
// Frame layout: every function starts with 55 89 E5 (push ebp; mov ebp, esp)
// and keeps at EBP - 4 its current-exception slot, which must hold null or an
// object reference owned by the slot. When an exception leaves the function
// the unwinder releases that slot (clearing it first).
//
// Resuming in a handler: the unwinder leaves every frame below the catching
// function's, then jumps to the handler address with
//   EBP = the catching function's frame pointer,
//   ESP = that function's stack pointer at the call out of which the
//         exception came (its arguments, if any, are still pushed),
//   [EBP - 4] = the exception, holding the reference the raise took.
// No other register is defined: the handler reloads what it needs from its
// frame. It ends as the function does, through leave and ret. EBX, ESI and
// EDI hold what the abandoned frames left in them, so a function with
// catches that must keep them for its own caller saves them in its frame and
// restores them before it returns.
#pragma once
#include <stdint.h>

namespace vs_exceptions {

inline constexpr uint8_t kShortJump = 0xEB;
inline constexpr uint8_t kMarker = 0x2F;
inline constexpr uint8_t kLeave = 0xC9;
inline constexpr uint8_t kReturn = 0xC3;
inline constexpr uint8_t kEndOfList = 0;

// Call-site records.
inline constexpr uint8_t kCallSiteString = 1;  // + u8 offset
inline constexpr uint8_t kCallSiteObject = 2;  // + u8 offset
inline constexpr uint8_t kCallSiteNoCatch = 7;

// Function records.
inline constexpr uint8_t kFunctionCatch = 4;   // + i16 class index, i32 offset
inline constexpr uint8_t kFunctionString = 5;  // + i16 slot
inline constexpr uint8_t kFunctionObject = 6;  // + i16 slot

// Where the current-exception slot lies, from the frame pointer.
inline constexpr int32_t kCurrentExceptionSlot = -4;
// The caller's stack pointer at a call, from the callee's frame pointer.
inline constexpr int32_t kCallerStackFromFrame = 8;
// A saved frame pointer farther than this above the current frame ends the
// walk: the exception is unhandled there.
inline constexpr uint32_t kMaxFrameDistance = 4096;

}  // namespace vs_exceptions
