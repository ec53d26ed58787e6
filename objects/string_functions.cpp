// The string entry points for concatenation, positions, codes, case,
// trimming and comparison. Positions are clamped, never refused; a result
// that would hold exactly an argument's bytes is that argument's record with
// one more reference, so the common whole-string cases never copy. The
// double-byte variants map character positions to byte positions and then
// reuse the byte functions.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "objects/dbcs.h"
#include "objects/strings.h"

namespace {

StringRecord* Shared(StringRecord* s) {
  RuntimeLockString(s);
  return s;
}

// `count` bytes of s from 0-based `from` (both already in range); s itself
// when that is all of it.
StringRecord* Piece(StringRecord* s, size_t from, size_t count) {
  if (from == 0 && count == StringLength(s)) return Shared(s);
  return NewString(StringView(s).substr(from, count));
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

StringRecord* CaseConverted(StringRecord* s, void (*convert)(char*, size_t)) {
  if (!s) return nullptr;
  StringRecord* copy = NewString(StringView(s));
  convert(reinterpret_cast<char*>(copy->buffer + 1), copy->length);
  return copy;
}

// Bytes of the character at byte index i, cut short by the end of the text
// (a lone lead byte at the end is a character of one byte).
size_t BytesAt(std::string_view text, size_t i) {
  return std::min(CharacterBytes(text, i), text.size() - i);
}

bool IsTrimmedSpace(std::string_view text, size_t i, size_t bytes) {
  if (!DbcsMode()) return IsSpaceByte(static_cast<uint8_t>(text[i]));
  return (CharacterType(text.data() + i, bytes) & C1_SPACE) != 0;
}

// 0-based index of the first character that is not white space.
size_t LeadingSpaceEnd(std::string_view text) {
  size_t i = 0;
  for (size_t bytes; i < text.size(); i += bytes) {
    bytes = BytesAt(text, i);
    if (!IsTrimmedSpace(text, i, bytes)) break;
  }
  return i;
}

// 0-based index just past the last character that is not white space. The
// walk goes forwards: going backwards could take a trail byte for a character.
size_t TrailingSpaceStart(std::string_view text) {
  size_t end = 0;
  for (size_t i = 0, bytes; i < text.size(); i += bytes) {
    bytes = BytesAt(text, i);
    if (!IsTrimmedSpace(text, i, bytes)) end = i + bytes;
  }
  return end;
}

int32_t Ordering(int systemResult) {
  if (systemResult == CSTR_LESS_THAN) return -1;
  if (systemResult == CSTR_GREATER_THAN) return 1;
  return 0;  // equal, or the comparison failed
}

int32_t LocaleCompare(StringRecord* a, StringRecord* b, DWORD flags) {
  return Ordering(CompareStringA(LOCALE_USER_DEFAULT, flags, StringCText(a),
                                 static_cast<int>(StringLength(a)), StringCText(b),
                                 static_cast<int>(StringLength(b))));
}

int32_t BinaryCompare(std::string_view a, std::string_view b) {
  int byBytes = memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (byBytes != 0) return byBytes < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

extern "C" {

StringRecord* RuntimeAddString(StringRecord* a, StringRecord* b) {
  if (!b) return Shared(a);
  if (!a) return Shared(b);
  StringRecord* joined = NewString(nullptr, static_cast<int32_t>(a->length + b->length));
  memcpy(joined->buffer + 1, a->buffer + 1, a->length);
  memcpy(joined->buffer + 1 + a->length, b->buffer + 1, b->length);
  return joined;
}

// --- byte positions --------------------------------------------------------------

StringRecord* StringLeft(StringRecord* s, int32_t n) {
  if (n <= 0) return nullptr;
  size_t count = std::min<size_t>(static_cast<size_t>(n), StringLength(s));
  return Piece(s, 0, count);
}

StringRecord* StringRight(StringRecord* s, int32_t n) {
  if (n <= 0) return nullptr;
  size_t length = StringLength(s);
  size_t count = std::min<size_t>(static_cast<size_t>(n), length);
  return Piece(s, length - count, count);
}

StringRecord* StringMid2(StringRecord* s, int32_t start) {
  int64_t from = std::max<int64_t>(static_cast<int64_t>(start) - 1, 0);
  int64_t length = StringLength(s);
  if (from >= length) return nullptr;
  return Piece(s, static_cast<size_t>(from), static_cast<size_t>(length - from));
}

StringRecord* StringMid3(StringRecord* s, int32_t start, int32_t n) {
  int64_t from = static_cast<int64_t>(start) - 1, count = n;
  if (from < 0) {
    count += from;
    from = 0;
  }
  int64_t length = StringLength(s);
  if (from >= length || count < 1) return nullptr;
  count = std::min(count, length - from);
  return Piece(s, static_cast<size_t>(from), static_cast<size_t>(count));
}

int32_t StringLen(StringRecord* s) { return static_cast<int32_t>(StringLength(s)); }

int32_t StringAsc(StringRecord* s) { return s ? s->buffer[1] : 0; }

StringRecord* StringChr(int32_t code) {
  char byte = static_cast<char>(code & 0xFF);
  return NewString(&byte, 1);
}

// --- character positions ------------------------------------------------------------

StringRecord* StringDBCSLeft(StringRecord* s, int32_t n) {
  if (!DbcsMode()) return StringLeft(s, n);
  return StringLeft(s, LastByteOfCharacter(StringView(s), n));
}

StringRecord* StringDBCSRight(StringRecord* s, int32_t n) {
  if (!DbcsMode()) return StringRight(s, n);
  if (n < 1) return nullptr;
  std::string_view text = StringView(s);
  int32_t count = CharacterCount(text);
  if (n >= count) return Shared(s);
  return StringMid2(s, FirstByteOfCharacter(text, count + 1 - n));
}

StringRecord* StringDBCSMid2(StringRecord* s, int32_t start) {
  if (!DbcsMode()) return StringMid2(s, start);
  return StringMid2(s, FirstByteOfCharacter(StringView(s), start));
}

StringRecord* StringDBCSMid3(StringRecord* s, int32_t start, int32_t n) {
  if (!DbcsMode()) return StringMid3(s, start, n);
  std::string_view text = StringView(s);
  int32_t first = FirstByteOfCharacter(text, start);
  int32_t last = LastByteOfCharacter(text, ClampToInt32(static_cast<int64_t>(start) + n - 1));
  return StringMid3(s, first, ClampToInt32(static_cast<int64_t>(last) - first + 1));
}

int32_t StringDBCSLen(StringRecord* s) {
  if (!DbcsMode()) return StringLen(s);
  return CharacterCount(StringView(s));
}

int32_t StringDBCSAsc(StringRecord* s) {
  if (!DbcsMode() || StringLength(s) < 2 || !IsLeadByte(s->buffer[1])) return StringAsc(s);
  return s->buffer[1] * 256 + s->buffer[2];
}

StringRecord* StringDBCSChr(int32_t code) {
  if (code < 256) return StringChr(code);
  const char pair[2] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
  return NewString(pair, 2);
}

// --- case ------------------------------------------------------------------------------

StringRecord* StringLCase(StringRecord* s) { return CaseConverted(s, LowerCaseInPlace); }

StringRecord* StringUCase(StringRecord* s) { return CaseConverted(s, UpperCaseInPlace); }

StringRecord* StringTitleCase(StringRecord* s) {
  StringRecord* title = Shared(s);
  MakeStringPrivate(title);
  std::string_view text = StringView(title);
  char* bytes = reinterpret_cast<char*>(title ? title->buffer + 1 : nullptr);
  bool wordStart = true;
  for (size_t i = 0, size; i < text.size(); i += size) {
    size = BytesAt(text, i);
    uint16_t type = CharacterType(bytes + i, size);
    if (type & (C1_SPACE | C1_BLANK)) {
      wordStart = true;
    } else if (wordStart) {
      if (!(type & C1_UPPER)) UpperCaseInPlace(bytes + i, size);
      wordStart = false;
    } else if (type & C1_UPPER) {
      LowerCaseInPlace(bytes + i, size);
    }
  }
  return title;
}

// --- trimming -----------------------------------------------------------------------

StringRecord* runLTrim(StringRecord* s) {
  std::string_view text = StringView(s);
  size_t begin = LeadingSpaceEnd(text);
  return Piece(s, begin, text.size() - begin);
}

StringRecord* runRTrim(StringRecord* s) {
  return Piece(s, 0, TrailingSpaceStart(StringView(s)));
}

StringRecord* runTrim(StringRecord* s) {
  std::string_view text = StringView(s);
  size_t begin = LeadingSpaceEnd(text);
  if (begin == text.size()) return nullptr;
  return Piece(s, begin, TrailingSpaceStart(text) - begin);
}

// --- comparison ------------------------------------------------------------------

int32_t RuntimeStringCompare(StringRecord* a, StringRecord* b) {
  return LocaleCompare(a, b, NORM_IGNORECASE);
}

int32_t StringStrCompare(StringRecord* a, StringRecord* b, int32_t mode) {
  if (mode == 0) return BinaryCompare(StringView(a), StringView(b));
  return LocaleCompare(a, b, 0);
}

}  // extern "C"
