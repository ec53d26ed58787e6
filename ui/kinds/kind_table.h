// What the kinds' behaviour rows are built from besides their own rows: the
// font properties every kind but StaticText shares (store the field, then
// give the pane the font), the check that a kind's struct has the size the
// layout table gives it, and small helpers for writing property tables. Each
// kind's file writes its own table with these; control_kinds.cpp lists the
// kinds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "sdk/builtin_class_layout.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"

// The instance size the layout table (shared with the image builder, which
// cannot see the kinds' structs) gives the class `name`; 0 for none. Each
// kind checks it against sizeof its struct.
constexpr uint32_t LayoutSize(std::string_view name) {
  for (const BuiltInClassLayout& l : kBuiltInClassLayouts)
    if (name == l.name) return l.instanceSize;
  return 0;
}

template <typename T, size_t N>
constexpr uint32_t CountOf(T (&)[N]) {
  return N;
}

// A field's offset in a kind's struct, as the generic accessors take it in
// their parameter word.
#define VS_FIELD_AT(Kind, field) static_cast<uint32_t>(offsetof(Kind, field))

// --- font fields ------------------------------------------------------------------------
// The setters of a kind's font fields: the parameter word is the field's
// offset, as for the generic accessors. Each stores, then has the control's
// pane (if any) take the font the fields now ask for.
void __cdecl FontNameSetter(ObjectRecord* control, uint32_t offset, StringRecord* name);
void __cdecl FontSizeSetter(ObjectRecord* control, uint32_t offset, int32_t size);
void __cdecl FontStyleSetter(ObjectRecord* control, uint32_t offset, bool on);

// The offset of the ControlFontFields in kind `T`, and of each field in them.
template <typename T>
constexpr uint32_t FontOffset() {
  return static_cast<uint32_t>(offsetof(T, font));
}
constexpr uint32_t kFontName = offsetof(ControlFontFields, textFont);
constexpr uint32_t kFontSize = offsetof(ControlFontFields, textSize);
constexpr uint32_t kFontBold = offsetof(ControlFontFields, bold);
constexpr uint32_t kFontItalic = offsetof(ControlFontFields, italic);
constexpr uint32_t kFontUnderline = offsetof(ControlFontFields, underline);

// Releases what the font fields hold. A kind's destructor calls it after it
// has closed the pane: the pane may read the fields until then.
void ReleaseFontFields(ControlFontFields& f);

// A font field of a `Kind` as its getter answers it; T() for nil and for an
// object of any other class, whose fields lie elsewhere.
template <typename Kind, typename T>
T KindFont(ObjectRecord* c, T ControlFontFields::*field) {
  Kind* k = As<Kind>(c);
  return k ? k->font.*field : T();
}

// Sets a font field of a `Kind` through `setter` (one of the setters above,
// given the field's offset); nothing for any other object.
template <typename Kind, typename Value>
void SetKindFont(ObjectRecord* c, uint32_t field, void(__cdecl* setter)(ObjectRecord*, uint32_t, Value),
                 Value value) {
  if (As<Kind>(c)) setter(c, FontOffset<Kind>() + field, value);
}

// The font accessors a kind offers by name in the entry table
// (sdk/entry_control_kinds.h): prefix##TextFontGetter and so on, defined in
// the kind's file inside extern "C".
#define VS_FONT_ACCESSORS(prefix, Kind)                                                     \
  StringRecord* prefix##TextFontGetter(ObjectRecord* c) {                                  \
    return As<Kind>(c) ? stringGetter(c, FontOffset<Kind>() + kFontName) : nullptr;        \
  }                                                                                        \
  void prefix##TextFontSetter(ObjectRecord* c, uint32_t, StringRecord* name) {             \
    SetKindFont<Kind>(c, kFontName, FontNameSetter, name);                                 \
  }                                                                                        \
  int32_t prefix##TextSizeGetter(ObjectRecord* c) {                                        \
    return KindFont<Kind>(c, &ControlFontFields::textSize);                                \
  }                                                                                        \
  void prefix##TextSizeSetter(ObjectRecord* c, uint32_t, int32_t size) {                   \
    SetKindFont<Kind>(c, kFontSize, FontSizeSetter, size);                                 \
  }                                                                                        \
  bool prefix##BoldGetter(ObjectRecord* c) { return KindFont<Kind>(c, &ControlFontFields::bold); } \
  void prefix##BoldSetter(ObjectRecord* c, uint32_t, bool on) {                            \
    SetKindFont<Kind>(c, kFontBold, FontStyleSetter, on);                                  \
  }                                                                                        \
  bool prefix##ItalicGetter(ObjectRecord* c) {                                             \
    return KindFont<Kind>(c, &ControlFontFields::italic);                                  \
  }                                                                                        \
  void prefix##ItalicSetter(ObjectRecord* c, uint32_t, bool on) {                          \
    SetKindFont<Kind>(c, kFontItalic, FontStyleSetter, on);                                \
  }                                                                                        \
  bool prefix##UnderlineGetter(ObjectRecord* c) {                                          \
    return KindFont<Kind>(c, &ControlFontFields::underline);                               \
  }                                                                                        \
  void prefix##UnderlineSetter(ObjectRecord* c, uint32_t, bool on) {                       \
    SetKindFont<Kind>(c, kFontUnderline, FontStyleSetter, on);                             \
  }

// The five font rows of a kind's property table, through its named
// accessors (VS_FONT_ACCESSORS).
#define VS_FONT_ROWS(prefix, Kind)                                                              \
  {nullptr, "TextFont", "String", CodeOf(prefix##TextFontGetter), CodeOf(prefix##TextFontSetter), 0}, \
  {nullptr, "TextSize", "Integer", CodeOf(prefix##TextSizeGetter), CodeOf(prefix##TextSizeSetter), 0}, \
  {nullptr, "Bold", "Boolean", CodeOf(prefix##BoldGetter), CodeOf(prefix##BoldSetter), 0},            \
  {nullptr, "Italic", "Boolean", CodeOf(prefix##ItalicGetter), CodeOf(prefix##ItalicSetter), 0},      \
  {nullptr, "Underline", "Boolean", CodeOf(prefix##UnderlineGetter), CodeOf(prefix##UnderlineSetter), 0}

// The same rows for kinds without named font accessors: generic getters,
// setters that give the pane the font; the parameter word is the field offset.
#define VS_GENERIC_FONT_ROWS(Kind)                                                              \
  {nullptr, "TextFont", "String", CodeOf(stringGetter), CodeOf(FontNameSetter),                      \
   FontOffset<Kind>() + kFontName},                                                              \
  {nullptr, "TextSize", "Integer", CodeOf(intFieldGetter), CodeOf(FontSizeSetter),                   \
   FontOffset<Kind>() + kFontSize},                                                              \
  {nullptr, "Bold", "Boolean", CodeOf(byteFieldGetter), CodeOf(FontStyleSetter),                     \
   FontOffset<Kind>() + kFontBold},                                                              \
  {nullptr, "Italic", "Boolean", CodeOf(byteFieldGetter), CodeOf(FontStyleSetter),                   \
   FontOffset<Kind>() + kFontItalic},                                                            \
  {nullptr, "Underline", "Boolean", CodeOf(byteFieldGetter), CodeOf(FontStyleSetter),                \
   FontOffset<Kind>() + kFontUnderline}

