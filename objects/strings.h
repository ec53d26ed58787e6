// Strings inside the runtime: making records, reference counting, and the
// string entry points that compiled code and plug-ins call. Entry points take
// string arguments borrowed and return strings the caller owns (null = "").
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"
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

