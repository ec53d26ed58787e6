// StaticText: a runtime-drawn pane that draws its text with DrawText over
// whatever the window shows beneath it (its background colour, a backdrop
// picture), word-wrapped, with ampersands drawn as they are. Every setter
// stores, then has the text redrawn.
#include "ui/kinds/static_text.h"

#include <windows.h>

#include <cstddef>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/drawing/colours.h"
#include "ui/kinds/kind_table.h"
#include "ui/kinds/tab_panel.h"
#include "ui/window_class_names.h"

namespace {

// The object as a StaticText; null for nil and for an object of any other class.
StaticTextObject* Label(ObjectRecord* label) { return As<StaticTextObject>(label); }

StaticTextPane* PaneOf(ObjectRecord* label) {
  StaticTextObject* s = Label(label);
  return s ? static_cast<StaticTextPane*>(s->rect.pane) : nullptr;
}

void Redraw(ObjectRecord* label) {
  if (StaticTextPane* pane = PaneOf(label)) pane->Invalidate();
}

}  // namespace

bool StaticTextPane::Create(HWND parent) {
  return Make(parent, kPaneClassName, StringCText(As<StaticTextObject>()->text), 0);
}

FontRequest StaticTextPane::WantedFont() const {
  const StaticTextObject* s = As<StaticTextObject>();
  return RequestedFont(s->textFont, s->textSize, s->bold, s->italic, s->underline);
}

// The pane selects the font itself when it draws.
void StaticTextPane::ApplyFont(HFONT) { Invalidate(); }

void StaticTextPane::CaptionChanged() {
  if (hwnd_) SetWindowTextA(hwnd_, StringCText(As<StaticTextObject>()->text));
}

void StaticTextPane::Invalidate() {
  if (!hwnd_) return;
  HWND parent = GetParent(hwnd_);
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void StaticTextPane::Paint(HDC dc) {
  const StaticTextObject* s = As<StaticTextObject>();
  RECT box;
  GetClientRect(hwnd_, &box);
  box.bottom = 32767;  // never cut at the bottom
  UINT format = DT_WORDBREAK | DT_NOPREFIX;
  if (s->textAlign == 1) format |= DT_CENTER;
  if (s->textAlign == 2) format |= DT_RIGHT;
  if (TabPanelPane* panel = TabPanelUnder(control_)) panel->DrawBody(dc, control_->bounds);
  COLORREF color = ToColorRef(WidenColour(s->textColor));
  HGDIOBJ oldFont = Font() ? SelectObject(dc, Font()) : nullptr;
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = SetTextColor(dc, color);
  std::string_view text = StringView(s->text);
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &box, format);
  SetTextAlign(dc, TA_TOP);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);
  drawn_ = {std::string(text), format, box, color};
}

void __cdecl StaticTextCreatePane(ObjectRecord* control) {
  if (StaticTextObject* s = Label(control)) MakeKindPane<StaticTextPane>(&s->rect);
}

extern "C" {

// The same text again leaves the screen alone: a status line set at every
// step of long work would otherwise redraw itself and everything over it
// (a busy progress bar's block) at every step, and flicker.
void staticCaptionSetter(ObjectRecord* label, uint32_t, StringRecord* text) {
  StaticTextObject* s = Label(label);
  if (!s) return;
  bool same = StringView(s->text) == StringView(text);
  stringSetter(label, offsetof(StaticTextObject, text), text);
  if (same) return;
  if (StaticTextPane* pane = PaneOf(label)) pane->CaptionChanged();
  Redraw(label);
}

void staticTextAlignSetter(ObjectRecord* label, uint32_t, int32_t align) {
  StaticTextObject* s = Label(label);
  if (!s) return;
  s->textAlign = static_cast<int16_t>(align);
  Redraw(label);
}

void staticTextColorSetter(ObjectRecord* label, uint32_t, uint32_t color) {
  StaticTextObject* s = Label(label);
  if (!s) return;
  s->textColor = color;
  Redraw(label);
}

void staticTextFontSetter(ObjectRecord* label, uint32_t, StringRecord* font) {
  if (!Label(label)) return;
  stringSetter(label, offsetof(StaticTextObject, textFont), font);
  if (StaticTextPane* pane = PaneOf(label)) pane->RefreshFont();
}

void staticTextSizeSetter(ObjectRecord* label, uint32_t, int32_t size) {
  StaticTextObject* s = Label(label);
  if (!s) return;
  s->textSize = static_cast<int16_t>(size);
  if (StaticTextPane* pane = PaneOf(label)) pane->RefreshFont();
}

// The parameter word is the offset of the Bold, Italic or Underline field.
void staticAttributeSetter(ObjectRecord* label, uint32_t fieldOffset, bool on) {
  if (!Label(label)) return;
  if (fieldOffset != offsetof(StaticTextObject, bold) &&
      fieldOffset != offsetof(StaticTextObject, italic) &&
      fieldOffset != offsetof(StaticTextObject, underline))
    return;
  FieldAt<uint8_t>(label, fieldOffset) = on ? 1 : 0;
  if (StaticTextPane* pane = PaneOf(label)) pane->RefreshFont();
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("StaticText") == sizeof(StaticTextObject));

namespace {

void __cdecl StaticTextDestruct(ObjectRecord* o, ClassRecord*) {
  auto* s = reinterpret_cast<StaticTextObject*>(o);
  CloseControlPane(&s->rect);
  RuntimeUnlockString(s->text);
  RuntimeUnlockString(s->textFont);
  s->text = s->textFont = nullptr;
}

const PropertyEntry kStaticTextProperties[] = {
    {nullptr, "Text", "String", CodeOf(stringGetter), CodeOf(staticCaptionSetter),
     VS_FIELD_AT(StaticTextObject, text)},
    {nullptr, "Caption", "String", CodeOf(stringGetter), CodeOf(staticCaptionSetter),
     VS_FIELD_AT(StaticTextObject, text)},
    {nullptr, "TextAlign", "Integer", CodeOf(shortFieldGetter), CodeOf(staticTextAlignSetter),
     VS_FIELD_AT(StaticTextObject, textAlign)},
    {nullptr, "TextColor", "Color", CodeOf(intFieldGetter), CodeOf(staticTextColorSetter),
     VS_FIELD_AT(StaticTextObject, textColor)},
    {nullptr, "TextFont", "String", CodeOf(stringGetter), CodeOf(staticTextFontSetter),
     VS_FIELD_AT(StaticTextObject, textFont)},
    {nullptr, "TextSize", "Integer", CodeOf(shortFieldGetter), CodeOf(staticTextSizeSetter),
     VS_FIELD_AT(StaticTextObject, textSize)},
    {nullptr, "Bold", "Boolean", CodeOf(byteFieldGetter), CodeOf(staticAttributeSetter),
     VS_FIELD_AT(StaticTextObject, bold)},
    {nullptr, "Italic", "Boolean", CodeOf(byteFieldGetter), CodeOf(staticAttributeSetter),
     VS_FIELD_AT(StaticTextObject, italic)},
    {nullptr, "Underline", "Boolean", CodeOf(byteFieldGetter), CodeOf(staticAttributeSetter),
     VS_FIELD_AT(StaticTextObject, underline)},
    {nullptr, "MultiLine", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     VS_FIELD_AT(StaticTextObject, multiLine)},
};

const BuiltInHandler kStaticTextHandlers[] = {{"CreatePane", CodeOf(StaticTextCreatePane)}};

}  // namespace

const BuiltInBehaviour kStaticTextKind = {
    .name = "StaticText", .destructor = StaticTextDestruct,
    .properties = kStaticTextProperties, .propertyCount = CountOf(kStaticTextProperties),
    .handlers = kStaticTextHandlers, .handlerCount = CountOf(kStaticTextHandlers)};
