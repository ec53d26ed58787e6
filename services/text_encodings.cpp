// Converting text between character sets. Every conversion goes through
// UTF-16 with the system's tables, except the two Japanese encodings the
// system may lack, which the runtime maps to and from Shift-JIS itself.
#include "services/text_encodings.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/code_pages.h"
#include "services/japanese_encodings.h"

namespace {

// The code page of an encoding; 0 when the system has none for it.
uint32_t CodePageOf(const TextEncodingObject* e) {
  uint32_t page = CodePageForEncoding(e->base, e->format);
  // UTF-16 and the runtime's own codes are not code pages the system lists.
  if (page == kEucJpCodePage || page == kIso2022JpCodePage || page == kUtf16CodePage) return page;
  return page && IsValidCodePage(page) ? page : 0;
}

bool Convertible(uint32_t source, uint32_t destination) {
  if (source == destination) return true;
  if (IsJapaneseFamily(source) && IsJapaneseFamily(destination)) return true;
  return source && destination;
}

std::string FromRuntimeJapanese(uint32_t page, std::string_view text) {
  return page == kEucJpCodePage ? EucJpToShiftJis(text) : Iso2022JpToShiftJis(text);
}

std::string ToRuntimeJapanese(uint32_t page, std::string_view sjis) {
  return page == kEucJpCodePage ? ShiftJisToEucJp(sjis) : ShiftJisToIso2022Jp(sjis);
}

std::wstring ToUtf16(uint32_t page, std::string_view text) {
  int length = static_cast<int>(text.size());
  int n = MultiByteToWideChar(page, 0, text.data(), length, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(page, 0, text.data(), length, wide.data(), n);
  return wide;
}

std::string FromUtf16(uint32_t page, const std::wstring& wide) {
  if (page == kUtf16CodePage)
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  int length = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(page, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(page, 0, wide.data(), length, out.data(), n, nullptr, nullptr);
  return out;
}

// The conversion itself, over bytes.
std::string Convert(uint32_t source, uint32_t destination, std::string_view text) {
  if (text.empty() || source == destination) return std::string(text);
  std::string sjis;
  if (source == kEucJpCodePage || source == kIso2022JpCodePage) {
    sjis = FromRuntimeJapanese(source, text);
    text = sjis;
    source = kShiftJisCodePage;
    if (source == destination) return sjis;
  }
  if (source == kShiftJisCodePage &&
      (destination == kEucJpCodePage || destination == kIso2022JpCodePage))
    return ToRuntimeJapanese(destination, text);
  // Two encodings the system does not know: nothing to convert with.
  if (!source || !destination) return std::string(text);
  std::wstring wide = source == kUtf16CodePage
                          ? std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size() / 2)
                          : ToUtf16(source, text);
  if (wide.empty()) return {};
  return FromUtf16(destination, wide);
}

ObjectRecord* NewEncoding(uint32_t base, uint32_t variant, uint32_t format) {
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("TextEncoding"));
  auto* e = reinterpret_cast<TextEncodingObject*>(object);
  e->base = base;
  e->variant = variant;
  e->format = format;
  return object;
}

// A field of an encoding; 0 for nil and for any other object.
int32_t EncodingField(ObjectRecord* encoding, uint32_t TextEncodingObject::*field) {
  TextEncodingObject* e = As<TextEncodingObject>(encoding);
  return e ? static_cast<int32_t>(e->*field) : 0;
}

}  // namespace

extern "C" {

ObjectRecord* getTextEncoding(int32_t base, int32_t variant, int32_t format) {
  return NewEncoding(static_cast<uint32_t>(base), static_cast<uint32_t>(variant),
                     static_cast<uint32_t>(format));
}

// Internet names are not looked up on this platform.
ObjectRecord* getInternetTextEncoding(StringRecord*) { return nullptr; }
ObjectRecord* getFontTextEncoding(StringRecord*) { return nullptr; }
StringRecord* textEncodingInternetName(ObjectRecord*) { return NewString(""); }

int32_t textEncodingBaseGetter(ObjectRecord* e) { return EncodingField(e, &TextEncodingObject::base); }
int32_t textEncodingVariantGetter(ObjectRecord* e) {
  return EncodingField(e, &TextEncodingObject::variant);
}
int32_t textEncodingFormatGetter(ObjectRecord* e) {
  return EncodingField(e, &TextEncodingObject::format);
}

ObjectRecord* getTextConverter(ObjectRecord* source, ObjectRecord* destination) {
  TextEncodingObject* s = As<TextEncodingObject>(source);
  TextEncodingObject* d = As<TextEncodingObject>(destination);
  if (!s || !d) return nullptr;
  uint32_t from = CodePageOf(s);
  uint32_t to = CodePageOf(d);
  if (!Convertible(from, to)) return nullptr;
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("TextConverter"));
  auto* c = reinterpret_cast<TextConverterObject*>(object);
  c->sourceCodePage = from;
  c->destinationCodePage = to;
  return object;
}

StringRecord* textConverterConvert(ObjectRecord* converter, StringRecord* text) {
  TextConverterObject* c = As<TextConverterObject>(converter);
  if (!c || !text || !text->length) return NewString("");
  return NewString(Convert(c->sourceCodePage, c->destinationCodePage, StringView(text)));
}

void textConverterClear(ObjectRecord*) {}

ObjectRecord* guessJapaneseEncoding(StringRecord* text) {
  uint32_t base = GuessJapaneseBase(StringView(text));
  return base ? NewEncoding(base, 0, 0) : nullptr;
}

}  // extern "C"

const PropertyEntry kTextEncodingProperties[] = {
    {"Behavior", "Base", "Integer", reinterpret_cast<CodeAddress>(textEncodingBaseGetter), nullptr,
     0},
    {"Behavior", "Variant", "Integer", reinterpret_cast<CodeAddress>(textEncodingVariantGetter),
     nullptr, 0},
    {"Behavior", "Format", "Integer", reinterpret_cast<CodeAddress>(textEncodingFormatGetter),
     nullptr, 0},
};
const uint32_t kTextEncodingPropertyCount = 3;
