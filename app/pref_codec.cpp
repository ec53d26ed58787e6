// No library calls: this file is linked into the application image, which
// reaches nothing but the runtime's entry points.
#include "app/pref_codec.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char c) { return c <= 32 || c == '%' || c == '=' || c == 127; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

PrefSpan Trimmed(const char* bytes, size_t length) {
  while (length && IsBlank(bytes[0])) ++bytes, --length;
  while (length && IsBlank(bytes[length - 1])) --length;
  return {bytes, length};
}

}  // namespace

size_t PrefEscape(const char* text, size_t length, char* out) {
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (!NeedsEscape(c)) {
      out[n++] = static_cast<char>(c);
      continue;
    }
    out[n++] = '%';
    out[n++] = kHexDigits[c >> 4];
    out[n++] = kHexDigits[c & 15];
  }
  return n;
}

size_t PrefUnescape(const char* text, size_t length, char* out) {
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '%' && i + 2 < length) {
      int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out[n++] = static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out[n++] = text[i];
  }
  return n;
}

bool PrefSplitLine(const char* line, size_t length, PrefSpan* name, PrefSpan* value) {
  PrefSpan all = Trimmed(line, length);
  if (!all.length || all.bytes[0] == ';' || all.bytes[0] == '#') return false;
  size_t equals = 0;
  while (equals < all.length && all.bytes[equals] != '=') ++equals;
  if (equals == all.length) return false;
  *name = Trimmed(all.bytes, equals);
  *value = Trimmed(all.bytes + equals + 1, all.length - equals - 1);
  return true;
}
