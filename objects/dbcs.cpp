// The process-wide double-byte decision and the per-byte tables behind it;
// see dbcs.h. In double-byte mode characters are converted through UTF-16 in
// the code page in use, one character at a time, so that a trail byte is
// never taken for a character of its own and byte positions never move.
#include "objects/dbcs.h"

#include <windows.h>

#include <cstring>

namespace {

struct Tables {
  bool decided = false;
  bool dbcs = false;
  UINT codePage = CP_ACP;
  bool lead[256] = {};
  uint8_t upper[256] = {};
  WORD ctype[256] = {};  // single-byte mode only
};

Tables gTables;
bool gCodePageChosen = false;
UINT gChosenCodePage = CP_ACP;

bool AskLeadByte(uint8_t b) {
  if (gCodePageChosen) return IsDBCSLeadByteEx(gChosenCodePage, b) != FALSE;
  return IsDBCSLeadByte(b) != FALSE;
}

void BuildSingleByteTables(Tables& t) {
  char bytes[256];
  for (int b = 0; b < 256; ++b) {
    bytes[b] = static_cast<char>(b);
    char c = static_cast<char>(b);
    CharUpperBuffA(&c, 1);
    t.upper[b] = static_cast<uint8_t>(c);
  }
  if (!GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, bytes, 256, t.ctype))
    memset(t.ctype, 0, sizeof t.ctype);
}

const Tables& Decided() {
  if (gTables.decided) return gTables;
  Tables& t = gTables;
  t.codePage = gCodePageChosen ? gChosenCodePage : CP_ACP;
  t.dbcs = false;
  for (int b = 0; b < 256; ++b) {
    t.lead[b] = AskLeadByte(static_cast<uint8_t>(b));
    t.dbcs = t.dbcs || t.lead[b];
  }
  if (!t.dbcs) BuildSingleByteTables(t);
  t.decided = true;
  return t;
}

// One character (1 or 2 bytes) to UTF-16; 0 when it is not a character of
// the code page.
int ToWide(const char* p, size_t length, WCHAR (&wide)[2]) {
  return MultiByteToWideChar(Decided().codePage, MB_ERR_INVALID_CHARS, p,
                             static_cast<int>(length), wide, 2);
}

using WideCaseFunction = DWORD(WINAPI*)(LPWSTR, DWORD);

// Converts one character in place when its converted form has the same byte
// length in the code page; otherwise leaves it.
void ConvertCharacter(char* p, size_t length, WideCaseFunction convert) {
  WCHAR wide[2];
  int count = ToWide(p, length, wide);
  if (count == 0) return;
  WCHAR converted[2] = {wide[0], wide[1]};
  convert(converted, static_cast<DWORD>(count));
  if (memcmp(converted, wide, sizeof(WCHAR) * count) == 0) return;
  char bytes[8];
  BOOL usedDefault = FALSE;
  int made = WideCharToMultiByte(Decided().codePage, 0, converted, count, bytes, sizeof bytes,
                                 nullptr, &usedDefault);
  if (usedDefault || made != static_cast<int>(length)) return;
  memcpy(p, bytes, length);
}

void ConvertDoubleByteText(char* p, size_t length, WideCaseFunction convert) {
  std::string_view text(p, length);
  for (size_t i = 0; i < length;) {
    size_t bytes = CharacterBytes(text, i);
    if (i + bytes > length) return;  // a lone lead byte at the end
    ConvertCharacter(p + i, bytes, convert);
    i += bytes;
  }
}

}  // namespace

bool DbcsMode() { return Decided().dbcs; }

bool IsLeadByte(uint8_t b) { return Decided().lead[b]; }

uint8_t UpperByte(uint8_t b) { return Decided().upper[b]; }

bool IsSpaceByte(uint8_t b) { return (Decided().ctype[b] & (C1_SPACE | C1_BLANK)) != 0; }

uint16_t CharacterType(const char* p, size_t length) {
  const Tables& t = Decided();
  if (!t.dbcs && length == 1) return t.ctype[static_cast<uint8_t>(*p)];
  WCHAR wide[2];
  int count = ToWide(p, length, wide);
  if (count != 1) return 0;
  WORD type = 0;
  if (!GetStringTypeW(CT_CTYPE1, wide, 1, &type)) return 0;
  return type;
}

void UpperCaseInPlace(char* p, size_t length) {
  if (length == 0) return;
  if (!DbcsMode()) {
    CharUpperBuffA(p, static_cast<DWORD>(length));
    return;
  }
  ConvertDoubleByteText(p, length, CharUpperBuffW);
}

void LowerCaseInPlace(char* p, size_t length) {
  if (length == 0) return;
  if (!DbcsMode()) {
    CharLowerBuffA(p, static_cast<DWORD>(length));
    return;
  }
  ConvertDoubleByteText(p, length, CharLowerBuffW);
}

int32_t FirstByteOfCharacter(std::string_view s, int32_t n) {
  if (n < 1 || s.empty()) return 0;
  size_t i = 0;
  for (int32_t c = 1; c < n && i < s.size(); ++c) i += CharacterBytes(s, i);
  return static_cast<int32_t>(i + 1);
}

int32_t LastByteOfCharacter(std::string_view s, int32_t n) {
  int32_t first = FirstByteOfCharacter(s, n);
  if (first < 1 || static_cast<size_t>(first) > s.size()) return first;
  return IsLeadByte(static_cast<uint8_t>(s[first - 1])) ? first + 1 : first;
}

int32_t CharacterCount(std::string_view s) {
  int32_t count = 0;
  for (size_t i = 0; i < s.size(); i += CharacterBytes(s, i)) ++count;
  return count;
}

int32_t CharacterPositionOfByte(std::string_view s, size_t index) {
  int32_t position = 1;
  for (size_t i = 0; i < index && i < s.size(); i += CharacterBytes(s, i)) ++position;
  return position;
}

void UseCodePageForTesting(uint32_t codePage) {
  gCodePageChosen = true;
  gChosenCodePage = codePage;
  gTables = Tables{};
}

void RestoreProcessCodePage() {
  gCodePageChosen = false;
  gChosenCodePage = CP_ACP;
  gTables = Tables{};
}
