// The control kinds as the class registry sees them: their events, property
// tables, constructors (the defaults a description may leave out),
// destructors, "CreatePane" handlers, and the font accessors every kind
// shares (store, then give the pane the font).
#include "ui/control_kinds.h"

#include <cstddef>
#include <string_view>

#include "objects/objects.h"
#include "sdk/builtin_class_layout.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kind_panes.h"

namespace {

// The layout table (shared with the image builder, which cannot see these
// structs) must give each kind the size of its struct.
constexpr uint32_t LayoutSize(std::string_view name) {
  for (const BuiltInClassLayout& l : kBuiltInClassLayouts)
    if (name == l.name) return l.instanceSize;
  return 0;
}
static_assert(LayoutSize("EditField") == sizeof(EditFieldObject));
static_assert(LayoutSize("StaticText") == sizeof(StaticTextObject));
static_assert(LayoutSize("PushButton") == sizeof(PushButtonObject));
static_assert(LayoutSize("CheckBox") == sizeof(CheckBoxObject));
static_assert(LayoutSize("PopupMenu") == sizeof(PopupMenuObject));
static_assert(LayoutSize("GroupBox") == sizeof(GroupBoxObject));
static_assert(LayoutSize("TabPanel") == sizeof(TabPanelObject));
static_assert(LayoutSize("ProgressBar") == sizeof(ProgressBarObject));

void RefreshFontOf(ObjectRecord* control) {
  Pane* pane = reinterpret_cast<RectControlObject*>(control)->pane;
  if (pane) static_cast<KindPane*>(pane)->RefreshFont();
}

// The font fields of every kind but StaticText: the parameter word is the
// field's offset, as for the generic accessors.
void __cdecl FontNameSetter(ObjectRecord* control, uint32_t offset, StringRecord* name) {
  if (!control) return;
  stringSetter(control, offset, name);
  RefreshFontOf(control);
}
void __cdecl FontSizeSetter(ObjectRecord* control, uint32_t offset, int32_t size) {
  if (!control) return;
  FieldAt<int32_t>(control, offset) = size;
  RefreshFontOf(control);
}
void __cdecl FontStyleSetter(ObjectRecord* control, uint32_t offset, bool on) {
  if (!control) return;
  FieldAt<uint8_t>(control, offset) = on ? 1 : 0;
  RefreshFontOf(control);
}

template <typename T>
constexpr uint32_t FontOffset() {
  return static_cast<uint32_t>(offsetof(T, font));
}
constexpr uint32_t kFontName = offsetof(ControlFontFields, textFont);
constexpr uint32_t kFontSize = offsetof(ControlFontFields, textSize);
constexpr uint32_t kFontBold = offsetof(ControlFontFields, bold);
constexpr uint32_t kFontItalic = offsetof(ControlFontFields, italic);
constexpr uint32_t kFontUnderline = offsetof(ControlFontFields, underline);

void ReleaseFontFields(ControlFontFields& f) {
  RuntimeUnlockString(f.textFont);
  f.textFont = nullptr;
}

// --- constructors and destructors -----------------------------------------------------
// A destructor closes the pane first: the pane may still read the fields.

void __cdecl EditFieldConstruct(ObjectRecord* o, ClassRecord*) {
  auto* f = reinterpret_cast<EditFieldObject*>(o);
  f->border = 1;
  f->backColor = 0xFFFFFF;
}
void __cdecl EditFieldDestruct(ObjectRecord* o, ClassRecord*) {
  auto* f = reinterpret_cast<EditFieldObject*>(o);
  CloseControlPane(&f->rect);
  RuntimeUnlockString(f->text);
  f->text = nullptr;
  ReleaseFontFields(f->font);
}

void __cdecl StaticTextDestruct(ObjectRecord* o, ClassRecord*) {
  auto* s = reinterpret_cast<StaticTextObject*>(o);
  CloseControlPane(&s->rect);
  RuntimeUnlockString(s->text);
  RuntimeUnlockString(s->textFont);
  s->text = s->textFont = nullptr;
}

void __cdecl PushButtonDestruct(ObjectRecord* o, ClassRecord*) {
  auto* b = reinterpret_cast<PushButtonObject*>(o);
  CloseControlPane(&b->rect);
  RuntimeUnlockString(b->caption);
  b->caption = nullptr;
  ReleaseFontFields(b->font);
}

void __cdecl CheckBoxDestruct(ObjectRecord* o, ClassRecord*) {
  auto* b = reinterpret_cast<CheckBoxObject*>(o);
  CloseControlPane(&b->rect);
  RuntimeUnlockString(b->caption);
  b->caption = nullptr;
  ReleaseFontFields(b->font);
}

void __cdecl PopupMenuDestruct(ObjectRecord* o, ClassRecord*) {
  auto* p = reinterpret_cast<PopupMenuObject*>(o);
  CloseControlPane(&p->rect);
  RuntimeUnlockString(p->initialValue);
  p->initialValue = nullptr;
  ReleaseFontFields(p->font);
}

void __cdecl GroupBoxDestruct(ObjectRecord* o, ClassRecord*) {
  auto* g = reinterpret_cast<GroupBoxObject*>(o);
  CloseControlPane(&g->rect);
  RuntimeUnlockString(g->caption);
  g->caption = nullptr;
  ReleaseFontFields(g->font);
}

void __cdecl TabPanelDestruct(ObjectRecord* o, ClassRecord*) {
  auto* t = reinterpret_cast<TabPanelObject*>(o);
  CloseControlPane(&t->rect);
  RuntimeUnlockString(t->tabDefinition);
  t->tabDefinition = nullptr;
  ReleaseFontFields(t->font);
}

void __cdecl ProgressBarConstruct(ObjectRecord* o, ClassRecord*) {
  reinterpret_cast<ProgressBarObject*>(o)->maximum = 100;
}
void __cdecl ProgressBarDestruct(ObjectRecord* o, ClassRecord*) {
  auto* b = reinterpret_cast<ProgressBarObject*>(o);
  CloseControlPane(&b->rect);
  ReleaseFontFields(b->font);
}

}  // namespace

// --- font accessors with the names of the entry table ---------------------------------------

#define VS_FONT_ACCESSORS(prefix, Kind)                                                     \
  StringRecord* prefix##TextFontGetter(ObjectRecord* c) {                                  \
    return c ? stringGetter(c, FontOffset<Kind>() + kFontName) : nullptr;                  \
  }                                                                                        \
  void prefix##TextFontSetter(ObjectRecord* c, uint32_t, StringRecord* name) {             \
    FontNameSetter(c, FontOffset<Kind>() + kFontName, name);                               \
  }                                                                                        \
  int32_t prefix##TextSizeGetter(ObjectRecord* c) {                                        \
    return c ? reinterpret_cast<Kind*>(c)->font.textSize : 0;                              \
  }                                                                                        \
  void prefix##TextSizeSetter(ObjectRecord* c, uint32_t, int32_t size) {                   \
    FontSizeSetter(c, FontOffset<Kind>() + kFontSize, size);                               \
  }                                                                                        \
  bool prefix##BoldGetter(ObjectRecord* c) { return c && reinterpret_cast<Kind*>(c)->font.bold; } \
  void prefix##BoldSetter(ObjectRecord* c, uint32_t, bool on) {                            \
    FontStyleSetter(c, FontOffset<Kind>() + kFontBold, on);                                \
  }                                                                                        \
  bool prefix##ItalicGetter(ObjectRecord* c) {                                             \
    return c && reinterpret_cast<Kind*>(c)->font.italic;                                   \
  }                                                                                        \
  void prefix##ItalicSetter(ObjectRecord* c, uint32_t, bool on) {                          \
    FontStyleSetter(c, FontOffset<Kind>() + kFontItalic, on);                              \
  }                                                                                        \
  bool prefix##UnderlineGetter(ObjectRecord* c) {                                          \
    return c && reinterpret_cast<Kind*>(c)->font.underline;                                \
  }                                                                                        \
  void prefix##UnderlineSetter(ObjectRecord* c, uint32_t, bool on) {                       \
    FontStyleSetter(c, FontOffset<Kind>() + kFontUnderline, on);                           \
  }

extern "C" {
VS_FONT_ACCESSORS(edit, EditFieldObject)
VS_FONT_ACCESSORS(pushButton, PushButtonObject)
VS_FONT_ACCESSORS(checkBox, CheckBoxObject)
VS_FONT_ACCESSORS(popup, PopupMenuObject)
VS_FONT_ACCESSORS(group, GroupBoxObject)
}  // extern "C"

#undef VS_FONT_ACCESSORS

// --- events -----------------------------------------------------------------------------------

EventEntry gEditFieldEvents[kEditFieldEventCount] = {
    {0, "TextChange", "", "", 0, nullptr},
    {0, "SelChange", "", "", 0, nullptr},
    {0, "KeyDown", "Key As String", "Boolean", 0, nullptr},
};
EventEntry gPushButtonEvents[1] = {{0, "Action", "", "", 0, nullptr}};
EventEntry gCheckBoxEvents[1] = {{0, "Action", "", "", 0, nullptr}};
EventEntry gPopupMenuEvents[1] = {{0, "Change", "", "", 0, nullptr}};
EventEntry gTabPanelEvents[1] = {{0, "Change", "", "", 0, nullptr}};

// --- property tables ---------------------------------------------------------------------------

namespace {

#define AT(Kind, field) static_cast<uint32_t>(offsetof(Kind, field))
#define FONT_ROWS(prefix, Kind)                                                                 \
  {nullptr, "TextFont", "String", CodeOf(prefix##TextFontGetter), CodeOf(prefix##TextFontSetter), 0}, \
  {nullptr, "TextSize", "Integer", CodeOf(prefix##TextSizeGetter), CodeOf(prefix##TextSizeSetter), 0}, \
  {nullptr, "Bold", "Boolean", CodeOf(prefix##BoldGetter), CodeOf(prefix##BoldSetter), 0},            \
  {nullptr, "Italic", "Boolean", CodeOf(prefix##ItalicGetter), CodeOf(prefix##ItalicSetter), 0},      \
  {nullptr, "Underline", "Boolean", CodeOf(prefix##UnderlineGetter), CodeOf(prefix##UnderlineSetter), 0}
// Kinds without named font accessors: generic getters, setters that give
// the pane the font; the parameter word is the field offset.
#define GENERIC_FONT_ROWS(Kind)                                                                  \
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

const PropertyEntry kEditFieldProperties[] = {
    {nullptr, "Text", "String", CodeOf(editTextGetter), CodeOf(editTextSetter), 0},
    {nullptr, "Border", "Boolean", CodeOf(editBorderGetter), CodeOf(editBorderSetter), 0},
    {nullptr, "MultiLine", "Boolean", CodeOf(editMultiLineGetter), CodeOf(editMultiLineSetter), 0},
    {nullptr, "ScrollBar", "Boolean", CodeOf(editScrollBarGetter), CodeOf(editScrollBarSetter), 0},
    {nullptr, "ReadOnly", "Boolean", CodeOf(editReadOnlyGetter), CodeOf(editReadOnlySetter), 0},
    {nullptr, "LimitText", "Integer", CodeOf(editLimitTextGetter), CodeOf(editLimitTextSetter), 0},
    {nullptr, "Password", "Boolean", CodeOf(editPasswordGetter), CodeOf(editPasswordSetter), 0},
    {nullptr, "Styled", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     AT(EditFieldObject, styled)},
    {nullptr, "AcceptTabs", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     AT(EditFieldObject, acceptTabs)},
    {nullptr, "LiveUpdate", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     AT(EditFieldObject, liveUpdate)},
    {nullptr, "UseFocusRing", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     AT(EditFieldObject, useFocusRing)},
    {nullptr, "TextColor", "Color", CodeOf(intFieldGetter), CodeOf(editTextColorSetter),
     AT(EditFieldObject, textColor)},
    {nullptr, "BackColor", "Color", CodeOf(intFieldGetter), CodeOf(editBackColorSetter),
     AT(EditFieldObject, backColor)},
    {nullptr, "SelStart", "Integer", CodeOf(editSelStartGetter), CodeOf(editSelStartSetter), 0},
    {nullptr, "SelLength", "Integer", CodeOf(editSelLengthGetter), CodeOf(editSelLengthSetter), 0},
    {nullptr, "SelText", "String", CodeOf(editSelTextGetter), CodeOf(editSelTextSetter), 0},
    {nullptr, "TextStyleData", "String", CodeOf(editTextStyleDataGetter), nullptr, 0},
    {nullptr, "SelBold", "Boolean", CodeOf(editSelBoldGetter), CodeOf(editSelBoldSetter), 0},
    {nullptr, "SelItalic", "Boolean", CodeOf(editSelItalicGetter), CodeOf(editSelItalicSetter), 0},
    {nullptr, "SelUnderline", "Boolean", CodeOf(editSelUnderlineGetter),
     CodeOf(editSelUnderlineSetter), 0},
    {nullptr, "SelOutline", "Boolean", CodeOf(editSelOutlineGetter), CodeOf(editSelOutlineSetter), 0},
    {nullptr, "SelShadow", "Boolean", CodeOf(editSelShadowGetter), CodeOf(editSelShadowSetter), 0},
    {nullptr, "SelCondense", "Boolean", CodeOf(editSelCondenseGetter), CodeOf(editSelCondenseSetter),
     0},
    {nullptr, "SelExtend", "Boolean", CodeOf(editSelExtendGetter), CodeOf(editSelExtendSetter), 0},
    {nullptr, "SelPlain", "Boolean", CodeOf(editSelPlainGetter), CodeOf(editSelPlainSetter), 0},
    {nullptr, "SelTextFont", "String", CodeOf(editSelTextFontGetter), CodeOf(editSelTextFontSetter),
     0},
    {nullptr, "SelTextSize", "Integer", CodeOf(editSelTextSizeGetter), CodeOf(editSelTextSizeSetter),
     0},
    {nullptr, "SelTextColor", "Color", CodeOf(editSelTextColorGetter),
     CodeOf(editSelTextColorSetter), 0},
    FONT_ROWS(edit, EditFieldObject),
};

const PropertyEntry kStaticTextProperties[] = {
    {nullptr, "Text", "String", CodeOf(stringGetter), CodeOf(staticCaptionSetter),
     AT(StaticTextObject, text)},
    {nullptr, "Caption", "String", CodeOf(stringGetter), CodeOf(staticCaptionSetter),
     AT(StaticTextObject, text)},
    {nullptr, "TextAlign", "Integer", CodeOf(shortFieldGetter), CodeOf(staticTextAlignSetter),
     AT(StaticTextObject, textAlign)},
    {nullptr, "TextColor", "Color", CodeOf(intFieldGetter), CodeOf(staticTextColorSetter),
     AT(StaticTextObject, textColor)},
    {nullptr, "TextFont", "String", CodeOf(stringGetter), CodeOf(staticTextFontSetter),
     AT(StaticTextObject, textFont)},
    {nullptr, "TextSize", "Integer", CodeOf(shortFieldGetter), CodeOf(staticTextSizeSetter),
     AT(StaticTextObject, textSize)},
    {nullptr, "Bold", "Boolean", CodeOf(byteFieldGetter), CodeOf(staticAttributeSetter),
     AT(StaticTextObject, bold)},
    {nullptr, "Italic", "Boolean", CodeOf(byteFieldGetter), CodeOf(staticAttributeSetter),
     AT(StaticTextObject, italic)},
    {nullptr, "Underline", "Boolean", CodeOf(byteFieldGetter), CodeOf(staticAttributeSetter),
     AT(StaticTextObject, underline)},
    {nullptr, "MultiLine", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     AT(StaticTextObject, multiLine)},
};

const PropertyEntry kPushButtonProperties[] = {
    {nullptr, "Caption", "String", CodeOf(pushButtonTitleGetter), CodeOf(pushButtonTitleSetter), 0},
    {nullptr, "Default", "Boolean", CodeOf(pushButtonDefaultGetter), CodeOf(pushButtonDefaultSetter),
     0},
    {nullptr, "Cancel", "Boolean", CodeOf(pushButtonCancelGetter), CodeOf(pushButtonCancelSetter), 0},
    FONT_ROWS(pushButton, PushButtonObject),
};

const PropertyEntry kCheckBoxProperties[] = {
    {nullptr, "Caption", "String", CodeOf(checkBoxTitleGetter), CodeOf(checkBoxTitleSetter), 0},
    {nullptr, "Value", "Boolean", CodeOf(checkBoxValueGetter), CodeOf(checkBoxValueSetter), 0},
    {nullptr, "State", "Integer", CodeOf(checkBoxValueGetter), CodeOf(checkBoxValueSetter), 0},
    FONT_ROWS(checkBox, CheckBoxObject),
};

const PropertyEntry kPopupMenuProperties[] = {
    {nullptr, "InitialValue", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     AT(PopupMenuObject, initialValue)},
    {nullptr, "ListIndex", "Integer", CodeOf(RuntimePopupSelectionGetter),
     CodeOf(RuntimePopupSelectionSetter), 0},
    {nullptr, "ListCount", "Integer", CodeOf(RuntimePopupCountGetter), nullptr, 0},
    {nullptr, "Text", "String", CodeOf(popupTextGetter), nullptr, 0},
    FONT_ROWS(popup, PopupMenuObject),
};

const PropertyEntry kGroupBoxProperties[] = {
    {nullptr, "Caption", "String", CodeOf(groupCaptionGetter), CodeOf(groupCaptionSetter), 0},
    FONT_ROWS(group, GroupBoxObject),
};

const PropertyEntry kTabPanelProperties[] = {
    {nullptr, "TabDefinition", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     AT(TabPanelObject, tabDefinition)},
    {nullptr, "Value", "Integer", CodeOf(tabPanelValueGetter), CodeOf(tabPanelValueSetter), 0},
    {nullptr, "Facing", "Integer", CodeOf(intFieldGetter), CodeOf(intFieldSetter),
     AT(TabPanelObject, facing)},
    {nullptr, "SmallTabs", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     AT(TabPanelObject, smallTabs)},
    GENERIC_FONT_ROWS(TabPanelObject),
};

const PropertyEntry kProgressBarProperties[] = {
    {nullptr, "Value", "Integer", CodeOf(progressValueGetter), CodeOf(progressValueSetter), 0},
    {nullptr, "Maximum", "Integer", CodeOf(progressMaximumGetter), CodeOf(progressMaximumSetter), 0},
    GENERIC_FONT_ROWS(ProgressBarObject),
};

#undef AT
#undef FONT_ROWS
#undef GENERIC_FONT_ROWS

template <typename T, size_t N>
constexpr uint32_t CountOf(T (&)[N]) {
  return N;
}

const BuiltInHandler kEditFieldHandlers[] = {{"CreatePane", CodeOf(EditFieldCreatePane)}};
const BuiltInHandler kStaticTextHandlers[] = {{"CreatePane", CodeOf(StaticTextCreatePane)}};
const BuiltInHandler kPushButtonHandlers[] = {{"CreatePane", CodeOf(PushButtonCreatePane)}};
const BuiltInHandler kCheckBoxHandlers[] = {{"CreatePane", CodeOf(CheckBoxCreatePane)}};
const BuiltInHandler kPopupMenuHandlers[] = {{"CreatePane", CodeOf(PopupMenuCreatePane)}};
const BuiltInHandler kGroupBoxHandlers[] = {{"CreatePane", CodeOf(GroupBoxCreatePane)}};
const BuiltInHandler kTabPanelHandlers[] = {{"CreatePane", CodeOf(TabPanelCreatePane)}};
const BuiltInHandler kProgressBarHandlers[] = {{"CreatePane", CodeOf(ProgressBarCreatePane)}};

}  // namespace

#define KIND(name, construct, destruct, events, eventCount, props, handlers)               \
  {name, construct, destruct, events, eventCount, props, CountOf(props), nullptr, 0, handlers, \
   CountOf(handlers)}

const BuiltInBehaviour kControlKindBehaviours[] = {
    KIND("EditField", EditFieldConstruct, EditFieldDestruct, gEditFieldEvents,
         kEditFieldEventCount, kEditFieldProperties, kEditFieldHandlers),
    KIND("StaticText", nullptr, StaticTextDestruct, nullptr, 0, kStaticTextProperties,
         kStaticTextHandlers),
    KIND("PushButton", nullptr, PushButtonDestruct, gPushButtonEvents, 1, kPushButtonProperties,
         kPushButtonHandlers),
    KIND("CheckBox", nullptr, CheckBoxDestruct, gCheckBoxEvents, 1, kCheckBoxProperties,
         kCheckBoxHandlers),
    KIND("PopupMenu", nullptr, PopupMenuDestruct, gPopupMenuEvents, 1, kPopupMenuProperties,
         kPopupMenuHandlers),
    KIND("GroupBox", nullptr, GroupBoxDestruct, nullptr, 0, kGroupBoxProperties,
         kGroupBoxHandlers),
    KIND("TabPanel", nullptr, TabPanelDestruct, gTabPanelEvents, 1, kTabPanelProperties,
         kTabPanelHandlers),
    KIND("ProgressBar", ProgressBarConstruct, ProgressBarDestruct, nullptr, 0,
         kProgressBarProperties, kProgressBarHandlers),
};
const uint32_t kControlKindBehaviourCount = CountOf(kControlKindBehaviours);

#undef KIND
