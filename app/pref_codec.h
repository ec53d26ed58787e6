// The preference file's line format, as pure functions over bytes: they are
// compiled into the application image (which has no standard library) and
// into the host tests alike. A line is "name = value", each side escaped so
// that "=", "%", spaces and control characters survive a text file.
#pragma once
#include <stddef.h>

struct PrefSpan {
  const char* bytes;
  size_t length;
};

// The largest escaped form of `length` bytes.
inline size_t PrefEscapedCapacity(size_t length) { return length * 3; }

// Writes the escaped form of `text` to `out` (room for
// PrefEscapedCapacity(length) bytes) and returns its length: "%" becomes
// %25, "=" %3D, byte 127 %7F and bytes 0 to 32 (space included) %XX with
// upper-case hexadecimal digits.
size_t PrefEscape(const char* text, size_t length, char* out);

// Writes the unescaped form of `text` to `out` (room for `length` bytes) and
// returns its length. Each "%" and the two hexadecimal digits after it make
// one byte, and scanning goes on after that byte, so "%2541" gives "%41". A
// "%" without two hexadecimal digits after it is kept as it is.
size_t PrefUnescape(const char* text, size_t length, char* out);

// Splits a file line into its escaped name and value, both trimmed of
// blanks. False for a line to skip: empty after trimming, starting with ";"
// or "#", or without "=".
bool PrefSplitLine(const char* line, size_t length, PrefSpan* name, PrefSpan* value);
