// The runtime's entry points as application code and plug-ins call them, with
// thin handle types for application code. Application code is compiled
// freestanding (no standard library, exceptions or RTTI) and reaches the
// runtime only through these functions; the image builder links each call by
// name. The runtime includes this header too, so a declaration here that
// differs from the function it names does not compile.
//
// Conventions: every entry point is extern "C" cdecl. String arguments are
// borrowed; string and object results belong to the caller (release them,
// or let a vs::String / vs::Ref do it). Booleans are one byte. An entry
// point that reads an object as one class's fields (a Timer's, a Window's)
// takes an object of any other class as it takes nil: it changes nothing
// and answers what it answers for nil.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// --- start-up --------------------------------------------------------------
void RuntimeInit(const uint32_t* projectRecord);
void Win32InstallPlugins(const void* list);
ObjectRecord* RuntimeProjectObject(int32_t index);

// --- objects -----------------------------------------------------------------
ObjectRecord* RuntimeNewObject(int32_t classIndex);
void RuntimeLockObject(ObjectRecord* object);
void RuntimeUnlockObject(ObjectRecord* object);
bool RuntimeObjectIsa(ObjectRecord* object, int32_t classIndex);
void RuntimeCheckCast(ObjectRecord* object, int32_t classIndex);
CodeAddress RuntimeFindHookCode(ObjectRecord* object, uint32_t key);
CodeAddress FindVTableCode(ObjectRecord* object, int32_t slot);
CodeAddress FindInterfaceVTableCode(ObjectRecord* object, int32_t slot, int32_t interfaceIndex);
ObjectRecord* getAppObject();
ObjectRecord* getSystemObject();
ObjectRecord* getKeyboardObject();
ObjectRecord* objGetter(ObjectRecord* object, uint32_t offset);
void objSetter(ObjectRecord* object, uint32_t offset, ObjectRecord* value);
StringRecord* stringGetter(ObjectRecord* object, uint32_t offset);
void stringSetter(ObjectRecord* object, uint32_t offset, StringRecord* value);
void debugDumpObjects(StringRecord* path);
void ZORBLockObject(ObjectRecord* object);
void ZORBUnlockObject(ObjectRecord* object);

// --- exceptions and diagnostics ------------------------------------------------
[[noreturn]] void RuntimeRaiseException(ObjectRecord* exception);
[[noreturn]] void RuntimeNilObject();
void lineTrace(StringRecord* text);

// --- strings ---------------------------------------------------------------------
void RuntimeLockString(StringRecord* s);
void RuntimeUnlockString(StringRecord* s);
void ZORBLockString(StringRecord* s);
void ZORBUnlockString(StringRecord* s);
StringRecord* ZORBBuildString(const char* bytes, int32_t length);
const char* StringGetCString(StringRecord* s);
const uint8_t* StringGetPString(StringRecord* s);
const char* StringToCString(StringRecord* s);
const uint8_t* StringToPString(StringRecord* s);
uint32_t StringToOSType(StringRecord* s);
StringRecord* RuntimeAddString(StringRecord* a, StringRecord* b);
int32_t RuntimeStringCompare(StringRecord* a, StringRecord* b);
int32_t StringStrCompare(StringRecord* a, StringRecord* b, int32_t mode);
StringRecord* StringLeft(StringRecord* s, int32_t n);
StringRecord* StringRight(StringRecord* s, int32_t n);
StringRecord* StringMid2(StringRecord* s, int32_t start);
StringRecord* StringMid3(StringRecord* s, int32_t start, int32_t n);
int32_t StringLen(StringRecord* s);
int32_t StringAsc(StringRecord* s);
StringRecord* StringChr(int32_t code);
StringRecord* StringLCase(StringRecord* s);
StringRecord* StringUCase(StringRecord* s);
StringRecord* StringTitleCase(StringRecord* s);
StringRecord* runTrim(StringRecord* s);
StringRecord* runLTrim(StringRecord* s);
StringRecord* runRTrim(StringRecord* s);
int32_t StringInStr(int32_t start, StringRecord* s, StringRecord* find);
StringRecord* StringReplace(StringRecord* s, StringRecord* find, StringRecord* repl);
StringRecord* StringReplaceAll(StringRecord* s, StringRecord* find, StringRecord* repl);
int32_t StringCountFields(StringRecord* s, StringRecord* delim);
StringRecord* StringNthField(StringRecord* s, StringRecord* delim, int32_t n);
StringRecord* StringDBCSLeft(StringRecord* s, int32_t n);
StringRecord* StringDBCSRight(StringRecord* s, int32_t n);
StringRecord* StringDBCSMid2(StringRecord* s, int32_t start);
StringRecord* StringDBCSMid3(StringRecord* s, int32_t start, int32_t n);
int32_t StringDBCSLen(StringRecord* s);
int32_t StringDBCSAsc(StringRecord* s);
StringRecord* StringDBCSChr(int32_t code);
int32_t StringDBCSInStr(int32_t start, StringRecord* s, StringRecord* find);
StringRecord* StringStr(double x);
StringRecord* runCStr(double x);
double StringVal(StringRecord* s);
double runCDbl(StringRecord* s);
StringRecord* StringFormat(double x, StringRecord* mask);
StringRecord* RuntimeHex(int32_t n);
StringRecord* RuntimeOct(int32_t n);

}  // extern "C"

#include "sdk/entry_arrays.h"
#include "sdk/entry_control_kinds.h"
#include "sdk/entry_controls.h"
#include "sdk/entry_exceptions.h"
#include "sdk/entry_graphics.h"
#include "sdk/entry_loop.h"
#include "sdk/entry_menus.h"
#include "sdk/entry_numbers.h"
#include "sdk/entry_services.h"
#include "sdk/entry_windows.h"
#include "sdk/entry_plugins.h"

// Handle types and helpers for application code: header-only, no library.
namespace vs {

// A string value: copying locks, destruction unlocks. Adopt() takes over a
// string an entry point returned; Borrow() adds a reference.
class String {
 public:
  String() = default;
  static String Adopt(StringRecord* s) { return String(s); }
  static String Borrow(StringRecord* s) {
    RuntimeLockString(s);
    return String(s);
  }
  String(const String& o) : s_(o.s_) { RuntimeLockString(s_); }
  String(String&& o) : s_(o.s_) { o.s_ = nullptr; }
  String& operator=(const String& o) {
    if (o.s_ != s_) {
      RuntimeLockString(o.s_);
      RuntimeUnlockString(s_);
      s_ = o.s_;
    }
    return *this;
  }
  String& operator=(String&& o) {
    if (&o != this) {
      RuntimeUnlockString(s_);
      s_ = o.s_;
      o.s_ = nullptr;
    }
    return *this;
  }
  ~String() { RuntimeUnlockString(s_); }

  StringRecord* get() const { return s_; }
  const char* c_str() const { return StringGetCString(s_); }
  int32_t Length() const { return StringLen(s_); }
  String operator+(const String& o) const { return Adopt(RuntimeAddString(s_, o.s_)); }
  bool operator==(const String& o) const { return RuntimeStringCompare(s_, o.s_) == 0; }

 private:
  explicit String(StringRecord* s) : s_(s) {}
  StringRecord* s_ = nullptr;
};

// An object reference: copying locks, destruction unlocks.
class Ref {
 public:
  Ref() = default;
  static Ref Adopt(ObjectRecord* o) { return Ref(o); }
  static Ref Borrow(ObjectRecord* o) {
    RuntimeLockObject(o);
    return Ref(o);
  }
  Ref(const Ref& r) : o_(r.o_) { RuntimeLockObject(o_); }
  Ref(Ref&& r) : o_(r.o_) { r.o_ = nullptr; }
  Ref& operator=(const Ref& r) {
    if (r.o_ != o_) {
      RuntimeLockObject(r.o_);
      RuntimeUnlockObject(o_);
      o_ = r.o_;
    }
    return *this;
  }
  Ref& operator=(Ref&& r) {
    if (&r != this) {
      RuntimeUnlockObject(o_);
      o_ = r.o_;
      r.o_ = nullptr;
    }
    return *this;
  }
  ~Ref() { RuntimeUnlockObject(o_); }

  ObjectRecord* get() const { return o_; }
  explicit operator bool() const { return o_ != nullptr; }

 private:
  explicit Ref(ObjectRecord* o) : o_(o) {}
  ObjectRecord* o_ = nullptr;
};

// A field of an object at a byte offset (offsets come from the header the
// image builder generates from the project description).
template <typename T>
inline T& Field(ObjectRecord* object, uint32_t offset) {
  return *reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(object) + offset);
}

// The bytes of a string constant: a length byte, the text and a zero.
template <size_t N>
struct ConstantBytes {
  uint8_t bytes[N + 1];
  constexpr ConstantBytes(const char (&text)[N]) : bytes{} {
    bytes[0] = static_cast<uint8_t>(N - 1 < 256 ? N - 1 : 255);
    for (size_t i = 0; i < N; ++i) bytes[i + 1] = static_cast<uint8_t>(text[i]);
  }
};

}  // namespace vs

// A string constant of the application: a StringRecord in the data block
// whose one reference is never released, so it is never freed.
#define VS_STRING(name, text)                                                  \
  static constinit vs::ConstantBytes<sizeof(text)> name##_bytes_{text};      \
  static StringRecord name = {1, name##_bytes_.bytes, sizeof(text) - 1,      \
                              sizeof(text) - 1}
// The same for a constant that several files share through a header: one
// record for all of them (the linker keeps one copy of an inline variable).
#define VS_SHARED_STRING(name, text)                                           \
  inline constinit vs::ConstantBytes<sizeof(text)> name##_bytes_{text};      \
  inline StringRecord name = {1, name##_bytes_.bytes, sizeof(text) - 1,      \
                              sizeof(text) - 1}
