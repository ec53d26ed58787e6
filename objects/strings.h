// Strings inside the runtime: making records, reference counting, and the
// string entry points that compiled code and plug-ins call. Entry points take
// string arguments borrowed and return strings the caller owns (null = "").
#pragma once
#include <cstdint>
#include <string_view>

#include "sdk/runtime_records.h"

// --- records -----------------------------------------------------------------

// A new string holding `length` bytes from `bytes` (null when length < 1).
// With `bytes` null the text is left for the caller to fill.
StringRecord* NewString(const void* bytes, int32_t length);
inline StringRecord* NewString(std::string_view text) {
  return NewString(text.data(), static_cast<int32_t>(text.size()));
}

inline uint32_t StringLength(const StringRecord* s) { return s ? s->length : 0; }
// The text bytes (not zero-terminated when viewed through the view).
std::string_view StringView(const StringRecord* s);
// The zero-terminated text; a static "" for the empty string.
const char* StringCText(const StringRecord* s);

// Copy-on-write: makes `s` the only reference to its record, copying the
// record when it is shared, so that its bytes can be written in place.
void MakeStringPrivate(StringRecord*& s);

// A string handle with value semantics for runtime code: copying locks,
// dropping or overwriting unlocks. Adopt() takes over a reference the caller
// already owns (a function result); Borrow() adds one.
class StringRef {
 public:
  StringRef() = default;
  static StringRef Adopt(StringRecord* s) { return StringRef(s); }
  static StringRef Borrow(StringRecord* s);
  StringRef(const StringRef& other);
  StringRef(StringRef&& other) noexcept : s_(other.s_) { other.s_ = nullptr; }
  StringRef& operator=(const StringRef& other);
  StringRef& operator=(StringRef&& other) noexcept;
  ~StringRef();

  StringRecord* get() const { return s_; }
  StringRecord* Release() {  // hands the reference to the caller
    StringRecord* s = s_;
    s_ = nullptr;
    return s;
  }
  std::string_view View() const { return StringView(s_); }
  uint32_t Length() const { return StringLength(s_); }

 private:
  explicit StringRef(StringRecord* s) : s_(s) {}
  StringRecord* s_ = nullptr;
};

extern "C" {

// --- reference counting and plug-in services -----------------------------------
void RuntimeLockString(StringRecord* s);
void RuntimeUnlockString(StringRecord* s);
void ZORBLockString(StringRecord* s);
void ZORBUnlockString(StringRecord* s);
StringRecord* ZORBBuildString(const char* bytes, int32_t length);

// --- forms ---------------------------------------------------------------------
const char* StringGetCString(StringRecord* s);
const uint8_t* StringGetPString(StringRecord* s);
const char* StringToCString(StringRecord* s);
const uint8_t* StringToPString(StringRecord* s);
uint32_t StringToOSType(StringRecord* s);

// --- concatenation and positions ----------------------------------------------
StringRecord* RuntimeAddString(StringRecord* a, StringRecord* b);
StringRecord* StringLeft(StringRecord* s, int32_t n);
StringRecord* StringRight(StringRecord* s, int32_t n);
StringRecord* StringMid2(StringRecord* s, int32_t start);
StringRecord* StringMid3(StringRecord* s, int32_t start, int32_t n);
int32_t StringLen(StringRecord* s);
int32_t StringAsc(StringRecord* s);
StringRecord* StringChr(int32_t code);

StringRecord* StringDBCSLeft(StringRecord* s, int32_t n);
StringRecord* StringDBCSRight(StringRecord* s, int32_t n);
StringRecord* StringDBCSMid2(StringRecord* s, int32_t start);
StringRecord* StringDBCSMid3(StringRecord* s, int32_t start, int32_t n);
int32_t StringDBCSLen(StringRecord* s);
int32_t StringDBCSAsc(StringRecord* s);
StringRecord* StringDBCSChr(int32_t code);
int32_t StringDBCSInStr(int32_t start, StringRecord* s, StringRecord* find);

// --- case and trimming ----------------------------------------------------------
StringRecord* StringLCase(StringRecord* s);
StringRecord* StringUCase(StringRecord* s);
StringRecord* StringTitleCase(StringRecord* s);
StringRecord* runLTrim(StringRecord* s);
StringRecord* runRTrim(StringRecord* s);
StringRecord* runTrim(StringRecord* s);

// --- search and fields ------------------------------------------------------------
int32_t StringInStr(int32_t start, StringRecord* s, StringRecord* find);
StringRecord* StringReplace(StringRecord* s, StringRecord* find, StringRecord* repl);
StringRecord* StringReplaceAll(StringRecord* s, StringRecord* find, StringRecord* repl);
int32_t StringCountFields(StringRecord* s, StringRecord* delim);
StringRecord* StringNthField(StringRecord* s, StringRecord* delim, int32_t n);

// --- comparison -------------------------------------------------------------------
int32_t RuntimeStringCompare(StringRecord* a, StringRecord* b);
int32_t StringStrCompare(StringRecord* a, StringRecord* b, int32_t mode);

// --- numbers ----------------------------------------------------------------------
StringRecord* StringStr(double x);
StringRecord* runCStr(double x);
double StringVal(StringRecord* s);
double runCDbl(StringRecord* s);
StringRecord* StringFormat(double x, StringRecord* mask);
StringRecord* RuntimeHex(int32_t n);
StringRecord* RuntimeOct(int32_t n);

}  // extern "C"
