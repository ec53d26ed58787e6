// Double-byte character sets. Whether the system's ANSI code page has lead
// bytes is asked once, on first use, and the answer (with the per-byte tables
// that single-byte text needs) is kept for the life of the process. Every
// string function that cares about characters rather than bytes goes through
// here, so that one decision governs them all. Tests can put a chosen code
// page in place of the system's so that the same paths run on real
// double-byte text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// True when the code page in use has any lead byte.
bool DbcsMode();

// True when `b` starts a two-byte character (never in single-byte mode).
bool IsLeadByte(uint8_t b);

// Single-byte mode only: the user locale's upper case of the one byte `b`.
uint8_t UpperByte(uint8_t b);

// Single-byte mode only: whether `b`'s character type includes space or blank.
bool IsSpaceByte(uint8_t b);

// The character type bits (CT_CTYPE1) of the character of `length` bytes
// (1, or 2 for a lead-byte pair) at `p`, in the code page in use. 0 when the
// bytes are not a character of that code page.
uint16_t CharacterType(const char* p, size_t length);

// Upper-/lower-cases `length` bytes at `p` in place with the user locale's
// rules. Never changes the byte length: in double-byte mode a character whose
// converted form would take another number of bytes is left as it is.
void UpperCaseInPlace(char* p, size_t length);
void LowerCaseInPlace(char* p, size_t length);

// Bytes taken by the character that starts at byte index `i` of `s`: 2 for a
// lead byte (even when it is the string's last byte), else 1.
inline size_t CharacterBytes(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<uint8_t>(s[i])) ? 2 : 1;
}

// 1-based byte position of the first byte of character `n` (1-based) of `s`.
// 0 when n < 1 or s is empty; past the last character, the position just
// beyond the walk (length + 1, or length + 2 after a trailing lead byte).
int32_t FirstByteOfCharacter(std::string_view s, int32_t n);

// 1-based byte position of the last byte of character `n`: the first byte,
// plus one when that byte is a lead byte inside the string.
int32_t LastByteOfCharacter(std::string_view s, int32_t n);

// Number of characters in `s`; a trailing lead byte counts as one.
int32_t CharacterCount(std::string_view s);

// 1-based character position of the character that starts at 0-based byte
// index `index` (a character boundary).
int32_t CharacterPositionOfByte(std::string_view s, size_t index);

// Test seam: decides as if `codePage` were the system's ANSI code page (lead
// bytes from that code page; the single-byte tables still come from the user
// locale).
void UseCodePageForTesting(uint32_t codePage);

// Test seam: drops any chosen code page; the next use decides for the
// process's own code page again.
void RestoreProcessCodePage();
