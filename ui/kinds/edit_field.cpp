// EditField: its pane, its accessors, the edit commands of the menu bar it
// serves while it has the focus, and its row for the class registry. The
// pane is a plain "EDIT" control, or a "RichEdit" one for styled or
// multi-line fields, with a plain one standing in where the rich-edit
// library cannot be loaded.
#include "ui/kinds/edit_field.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

#include "objects/checked_cast.h"
#include "objects/collation.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/startup_trace.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/drawing/colours.h"
#include "ui/drawing/fonts.h"
#include "ui/focus.h"
#include "ui/kinds/kind_table.h"

namespace {

// The object as an EditField; null for nil and for an object of any other class.
EditFieldObject* Edit(ObjectRecord* field) { return As<EditFieldObject>(field); }

EditPane* PaneOf(ObjectRecord* field) {
  EditFieldObject* f = Edit(field);
  return f ? static_cast<EditPane*>(f->rect.pane) : nullptr;
}

// The rich-edit library is loaded once, on the first field that needs it.
bool RichEditAvailable() {
  static HMODULE library = [] {
    StartupMark("first edit field asks for the rich-edit library");
    HMODULE loaded = LoadLibraryA("RICHED32.DLL");
    StartupMark("rich-edit library");
    return loaded;
  }();
  return library != nullptr;
}

// Rich-edit character sizes are in twips; the runtime counts pixels.
int PixelsPerInch() {
  HDC screen = GetDC(nullptr);
  int ppi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return ppi > 0 ? ppi : 96;
}

const struct {
  const char* item;
  int command;
} kEditItems[] = {
    {"EditUndo", 0}, {"EditCut", 1},   {"EditCopy", 2},
    {"EditPaste", 3}, {"EditClear", 4}, {"EditSelectAll", 5},
};

DWORD CALLBACK CollectStream(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(bytes), count);
  *done = count;
  return 0;
}

}  // namespace

// --- the pane ----------------------------------------------------------------------------

bool EditPane::Create(HWND parent) {
  EditFieldObject* f = As<EditFieldObject>();
  bool styled = f->styled, multiLine = f->multiLine;
  rich_ = (styled || multiLine) && RichEditAvailable();
  DWORD style = 0;
  if (!styled && !multiLine)
    style = ES_AUTOHSCROLL;
  else if (!styled)
    style = ES_MULTILINE | ES_AUTOVSCROLL | (f->scrollBar ? WS_VSCROLL : 0);
  else if (multiLine)
    style = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
  else
    style = ES_AUTOHSCROLL | WS_VSCROLL;
  // Without the rich-edit library a plain control stands in.
  if (multiLine && !rich_) style |= ES_WANTRETURN;
  DWORD exStyle = f->border ? WS_EX_CLIENTEDGE : 0;
  Suppression quiet(this);
  if (!Make(parent, rich_ ? "RichEdit" : "EDIT", StringCText(f->text), style | WS_TABSTOP,
            exStyle))
    return false;
  if (rich_) SendMessageA(hwnd_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  ApplyReadOnly();
  ApplyLimit();
  ApplyPassword();
  ApplyColors();
  GetSelection(lastStart_, lastEnd_);
  return true;
}

void EditPane::ApplyFont(HFONT font) {
  KindPane::ApplyFont(font);
  // A rich edit control takes the font as its whole character format,
  // colour included.
  if (rich_) ApplyColors();
}

StringRef EditPane::Text() {
  if (!hwnd_) return {};
  int length = GetWindowTextLengthA(hwnd_);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(hwnd_, text.data(), length + 1);
  return StringRef::Adopt(NewString(std::string_view(text.data(), got > 0 ? got : 0)));
}

// The field's own text change raises "TextChange" once, whichever way the
// control reports a text set through its window text.
void EditPane::SetText(StringRecord* text) {
  if (!hwnd_) return;
  {
    Suppression quiet(this);
    SetWindowTextA(hwnd_, StringCText(text));
  }
  RaiseOnControl(control_, gEditFieldEvents[kEditTextChange]);
}

void EditPane::GetSelection(int32_t& start, int32_t& end) {
  start = end = 0;
  if (!hwnd_) return;
  if (rich_) {
    CHARRANGE range = {0, 0};
    SendMessageA(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = range.cpMin;
    end = range.cpMax;
    return;
  }
  DWORD s = 0, e = 0;
  SendMessageA(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int32_t>(s);
  end = static_cast<int32_t>(e);
}

void EditPane::SetSelection(int32_t start, int32_t end) {
  if (!hwnd_) return;
  if (rich_) {
    CHARRANGE range = {start, end};
    SendMessageA(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  } else {
    SendMessageA(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  }
}

void EditPane::ReplaceSelection(StringRecord* text) {
  if (hwnd_) SendMessageA(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(StringCText(text)));
}

StringRef EditPane::SelectedText() {
  int32_t start = 0, end = 0;
  GetSelection(start, end);
  if (end <= start) return {};
  if (rich_) {
    // Positions count characters, and on a double-byte code page one
    // character takes two bytes (a UTF-16 unit at most three in any code
    // page): the buffer is sized for the widest, and what comes back is
    // never trusted past it.
    constexpr size_t kMaxBytesPerCharacter = 4;
    size_t capacity = static_cast<size_t>(end - start) * kMaxBytesPerCharacter + 1;
    std::string text(capacity, '\0');
    LRESULT got = SendMessageA(hwnd_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    size_t length = got > 0 ? std::min(static_cast<size_t>(got), capacity - 1) : 0;
    return StringRef::Adopt(NewString(std::string_view(text.data(), length)));
  }
  StringRef all = Text();
  std::string_view v = all.View();
  if (static_cast<size_t>(start) >= v.size()) return {};
  return StringRef::Adopt(NewString(v.substr(start, end - start)));
}

void EditPane::ApplyReadOnly() {
  if (hwnd_) SendMessageA(hwnd_, EM_SETREADONLY, As<EditFieldObject>()->readOnly ? TRUE : FALSE, 0);
}

// LimitText 0 lets the field hold as much as the control can.
void EditPane::ApplyLimit() {
  if (!hwnd_) return;
  int32_t limit = As<EditFieldObject>()->limitText;
  if (rich_)
    SendMessageA(hwnd_, EM_EXLIMITTEXT, 0, limit > 0 ? limit : 0x7FFFFFFE);
  else
    SendMessageA(hwnd_, EM_LIMITTEXT, limit > 0 ? limit : 0, 0);
}

void EditPane::ApplyPassword() {
  if (!hwnd_ || rich_) return;
  SendMessageA(hwnd_, EM_SETPASSWORDCHAR, As<EditFieldObject>()->password ? '*' : 0, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// A plain control asks its parent for its colours (ControlColor); a rich
// one keeps them itself.
void EditPane::ApplyColors() {
  if (!hwnd_) return;
  EditFieldObject* f = As<EditFieldObject>();
  if (rich_) {
    SendMessageA(hwnd_, EM_SETBKGNDCOLOR, 0, ToColorRef(WidenColour(f->backColor)));
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = ToColorRef(WidenColour(f->textColor));
    SendMessageA(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH EditPane::ControlColor(HDC dc, UINT message) {
  if (rich_ || (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC)) return nullptr;
  EditFieldObject* f = As<EditFieldObject>();
  COLORREF back = ToColorRef(WidenColour(f->backColor));
  SetTextColor(dc, ToColorRef(WidenColour(f->textColor)));
  SetBkColor(dc, back);
  return SolidBrush(back);
}

bool EditPane::GetSelectionFormat(CHARFORMATA& format) {
  if (!hwnd_ || !rich_) return false;
  format = {};
  format.cbSize = sizeof format;
  SendMessageA(hwnd_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return true;
}

void EditPane::SetSelectionFormat(CHARFORMATA& format) {
  if (!hwnd_ || !rich_) return;
  format.cbSize = sizeof format;
  SendMessageA(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

StringRef EditPane::StyleData() {
  if (!hwnd_ || !rich_) return {};
  std::string rtf;
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&rtf), 0, CollectStream};
  SendMessageA(hwnd_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  return StringRef::Adopt(NewString(rtf));
}

void EditPane::Command(int code) {
  if (code != EN_CHANGE || Suppressed()) return;
  RaiseOnControl(control_, gEditFieldEvents[kEditTextChange]);
}

LRESULT EditPane::Notify(NMHDR* header) {
  if (header->code != EN_SELCHANGE || Suppressed()) return 0;
  RaiseOnControl(control_, gEditFieldEvents[kEditSelChange]);
  return 0;
}

void EditPane::CheckSelection() {
  if (rich_ || !hwnd_) return;
  DWORD s = 0, e = 0;
  CallOriginal(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  if (static_cast<int32_t>(s) == lastStart_ && static_cast<int32_t>(e) == lastEnd_) return;
  lastStart_ = static_cast<int32_t>(s);
  lastEnd_ = static_cast<int32_t>(e);
  if (!Suppressed()) RaiseOnControl(control_, gEditFieldEvents[kEditSelChange]);
}

// Every typed character is offered to "KeyDown" first; a true result keeps
// it from the control.
LRESULT EditPane::Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (message == WM_CHAR) {
    handled = true;
    std::shared_ptr<bool> alive = AliveToken();
    char c = static_cast<char>(wParam);
    StringRef key = StringRef::Adopt(NewString(std::string_view(&c, 1)));
    if (RaiseBoolOnControl(control_, gEditFieldEvents[kEditKeyDown], key.get())) return 0;
    if (!*alive) return 0;
    LRESULT result = CallOriginal(message, wParam, lParam);
    CheckSelection();
    return result;
  }
  if (message == WM_SETFOCUS) return KindPane::Message(message, wParam, lParam, handled);
  if (rich_) return 0;
  // A plain control: the selection may move with keys, the mouse and edits.
  switch (message) {
    case WM_KEYDOWN: case WM_KEYUP: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE: case EM_SETSEL: case EM_REPLACESEL:
    case WM_SETTEXT: case WM_CUT: case WM_PASTE: case WM_CLEAR: case WM_UNDO: case EM_UNDO: {
      handled = true;
      LRESULT result = CallOriginal(message, wParam, lParam);
      CheckSelection();
      return result;
    }
    default: return 0;
  }
}

// Tab reaches a field that accepts tabs as a character; anywhere else it
// moves the focus (the window's keyboard handling).
bool EditPane::KeyDown(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (!As<EditFieldObject>()->acceptTabs || GetKeyState(VK_CONTROL) < 0) return false;
  SendMessageA(hwnd_, WM_CHAR, '\t', message.lParam);
  return true;
}

bool EditPane::TakesReturn() const { return As<EditFieldObject>()->multiLine != 0; }

bool EditPane::Allowed(EditCommand command) {
  if (!hwnd_) return false;
  EditFieldObject* f = As<EditFieldObject>();
  int32_t start = 0, end = 0;
  GetSelection(start, end);
  bool selection = end > start;
  bool writable = !f->readOnly;
  switch (command) {
    case EditCommand::kUndo: return writable && SendMessageA(hwnd_, EM_CANUNDO, 0, 0) != 0;
    case EditCommand::kCut: return selection && writable && !f->password;
    case EditCommand::kCopy: return selection && !f->password;
    case EditCommand::kClear: return selection && writable;
    case EditCommand::kPaste: return writable && IsClipboardFormatAvailable(CF_TEXT);
    case EditCommand::kSelectAll: return GetWindowTextLengthA(hwnd_) > 0;
    default: return false;
  }
}

void EditPane::EnableMenuItems(void (*enable)(const char* itemName)) {
  for (const auto& item : kEditItems)
    if (Allowed(static_cast<EditCommand>(item.command))) enable(item.item);
}

bool EditPane::HandleMenuItem(const char* itemName) {
  for (const auto& item : kEditItems) {
    if (!CollateEqual(itemName, item.item)) continue;
    auto command = static_cast<EditCommand>(item.command);
    if (!Allowed(command)) return false;
    static const UINT kMessages[] = {WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR};
    if (command == EditCommand::kSelectAll)
      SetSelection(0, -1);
    else
      SendMessageA(hwnd_, kMessages[item.command], 0, 0);
    return true;
  }
  return false;
}

// --- creation and accessors ---------------------------------------------------------------

namespace {

// Border, MultiLine and ScrollBar decide the window class and style: the
// pane is made anew with the text it holds, in the state it was in.
void RemakePane(ObjectRecord* field) {
  EditFieldObject* f = Edit(field);
  EditPane* old = PaneOf(field);
  if (!old) return;
  StringRef text = old->Text();
  stringSetter(field, offsetof(EditFieldObject, text), text.get());
  auto* window = reinterpret_cast<WindowObject*>(f->rect.control.window);
  bool focused = FocusedPaneOf(window) == old;
  bool active = ActivePane() == old;
  CloseControlPane(&f->rect);
  MakeKindPane<EditPane>(&f->rect);
  Pane* fresh = f->rect.pane;
  if (!fresh) return;
  fresh->SetTabPanelIndex(f->rect.tabPanelIndex);
  if (!f->rect.visible) fresh->SetState(kPaneHide);
  if (!f->rect.enabled) fresh->SetState(kPaneDisable);
  fresh->SetHelp(f->rect.balloonHelp, f->rect.disabledBalloonHelp);
  if (focused) SetFocusedPaneOf(window, fresh);
  if (active) SetActivePane(fresh);
}

void SetFlag(ObjectRecord* field, uint8_t EditFieldObject::*flag, bool on) {
  if (EditFieldObject* f = Edit(field)) f->*flag = on ? 1 : 0;
}

bool Flag(ObjectRecord* field, uint8_t EditFieldObject::*flag) {
  EditFieldObject* f = Edit(field);
  return f && f->*flag;
}

// Changes a flag that shapes the pane, and remakes the pane when it changed.
void SetShapingFlag(ObjectRecord* field, uint8_t EditFieldObject::*flag, bool on) {
  EditFieldObject* f = Edit(field);
  if (!f || f->*flag == (on ? 1 : 0)) return;
  f->*flag = on ? 1 : 0;
  RemakePane(field);
}

bool SelectionFormat(ObjectRecord* field, CHARFORMATA& format) {
  EditPane* pane = PaneOf(field);
  return pane && pane->GetSelectionFormat(format);
}

bool SelectionEffect(ObjectRecord* field, DWORD mask, DWORD effect) {
  CHARFORMATA format;
  return SelectionFormat(field, format) && (format.dwMask & mask) && (format.dwEffects & effect);
}

void SetSelectionEffect(ObjectRecord* field, DWORD mask, DWORD effect, bool on) {
  EditPane* pane = PaneOf(field);
  if (!pane) return;
  CHARFORMATA format = {};
  format.dwMask = mask;
  format.dwEffects = on ? effect : 0;
  pane->SetSelectionFormat(format);
}

}  // namespace

void __cdecl EditFieldCreatePane(ObjectRecord* control) {
  if (EditFieldObject* f = Edit(control)) MakeKindPane<EditPane>(&f->rect);
}

extern "C" {

StringRecord* editTextGetter(ObjectRecord* field) {
  if (!Edit(field)) return nullptr;
  if (EditPane* pane = PaneOf(field)) return pane->Text().Release();
  return stringGetter(field, offsetof(EditFieldObject, text));
}

void editTextSetter(ObjectRecord* field, uint32_t, StringRecord* text) {
  if (!Edit(field)) return;
  stringSetter(field, offsetof(EditFieldObject, text), text);
  if (EditPane* pane = PaneOf(field)) pane->SetText(text);
}

bool editBorderGetter(ObjectRecord* field) { return Flag(field, &EditFieldObject::border); }
void editBorderSetter(ObjectRecord* field, uint32_t, bool on) {
  SetShapingFlag(field, &EditFieldObject::border, on);
}

bool editMultiLineGetter(ObjectRecord* field) { return Flag(field, &EditFieldObject::multiLine); }
void editMultiLineSetter(ObjectRecord* field, uint32_t, bool on) {
  SetShapingFlag(field, &EditFieldObject::multiLine, on);
}

bool editScrollBarGetter(ObjectRecord* field) { return Flag(field, &EditFieldObject::scrollBar); }
void editScrollBarSetter(ObjectRecord* field, uint32_t, bool on) {
  SetShapingFlag(field, &EditFieldObject::scrollBar, on);
}

bool editReadOnlyGetter(ObjectRecord* field) { return Flag(field, &EditFieldObject::readOnly); }
void editReadOnlySetter(ObjectRecord* field, uint32_t, bool on) {
  SetFlag(field, &EditFieldObject::readOnly, on);
  if (EditPane* pane = PaneOf(field)) pane->ApplyReadOnly();
}

bool editPasswordGetter(ObjectRecord* field) { return Flag(field, &EditFieldObject::password); }
void editPasswordSetter(ObjectRecord* field, uint32_t, bool on) {
  SetFlag(field, &EditFieldObject::password, on);
  if (EditPane* pane = PaneOf(field)) pane->ApplyPassword();
}

int32_t editLimitTextGetter(ObjectRecord* field) {
  EditFieldObject* f = Edit(field);
  return f ? f->limitText : 0;
}
void editLimitTextSetter(ObjectRecord* field, uint32_t, int32_t limit) {
  EditFieldObject* f = Edit(field);
  if (!f) return;
  f->limitText = limit;
  if (EditPane* pane = PaneOf(field)) pane->ApplyLimit();
}

void editTextColorSetter(ObjectRecord* field, uint32_t, uint32_t color) {
  EditFieldObject* f = Edit(field);
  if (!f) return;
  f->textColor = color;
  if (EditPane* pane = PaneOf(field)) pane->ApplyColors();
}

void editBackColorSetter(ObjectRecord* field, uint32_t, uint32_t color) {
  EditFieldObject* f = Edit(field);
  if (!f) return;
  f->backColor = color;
  if (EditPane* pane = PaneOf(field)) pane->ApplyColors();
}

int32_t editSelStartGetter(ObjectRecord* field) {
  int32_t start = 0, end = 0;
  if (EditPane* pane = PaneOf(field)) pane->GetSelection(start, end);
  return start;
}

void editSelStartSetter(ObjectRecord* field, uint32_t, int32_t start) {
  EditPane* pane = PaneOf(field);
  if (!pane) return;
  int32_t oldStart = 0, oldEnd = 0;
  pane->GetSelection(oldStart, oldEnd);
  pane->SetSelection(start, oldEnd > start ? oldEnd : start);
}

int32_t editSelLengthGetter(ObjectRecord* field) {
  int32_t start = 0, end = 0;
  if (EditPane* pane = PaneOf(field)) pane->GetSelection(start, end);
  return end - start;
}

void editSelLengthSetter(ObjectRecord* field, uint32_t, int32_t length) {
  EditPane* pane = PaneOf(field);
  if (!pane) return;
  int32_t start = 0, end = 0;
  pane->GetSelection(start, end);
  pane->SetSelection(start, start + length);
}

StringRecord* editSelTextGetter(ObjectRecord* field) {
  EditPane* pane = PaneOf(field);
  return pane ? pane->SelectedText().Release() : nullptr;
}

void editSelTextSetter(ObjectRecord* field, uint32_t, StringRecord* text) {
  if (EditPane* pane = PaneOf(field)) pane->ReplaceSelection(text);
}

StringRecord* editTextStyleDataGetter(ObjectRecord* field) {
  EditPane* pane = PaneOf(field);
  return pane ? pane->StyleData().Release() : nullptr;
}

bool editSelBoldGetter(ObjectRecord* field) { return SelectionEffect(field, CFM_BOLD, CFE_BOLD); }
void editSelBoldSetter(ObjectRecord* field, uint32_t, bool on) {
  SetSelectionEffect(field, CFM_BOLD, CFE_BOLD, on);
}
bool editSelItalicGetter(ObjectRecord* field) {
  return SelectionEffect(field, CFM_ITALIC, CFE_ITALIC);
}
void editSelItalicSetter(ObjectRecord* field, uint32_t, bool on) {
  SetSelectionEffect(field, CFM_ITALIC, CFE_ITALIC, on);
}
bool editSelUnderlineGetter(ObjectRecord* field) {
  return SelectionEffect(field, CFM_UNDERLINE, CFE_UNDERLINE);
}
void editSelUnderlineSetter(ObjectRecord* field, uint32_t, bool on) {
  SetSelectionEffect(field, CFM_UNDERLINE, CFE_UNDERLINE, on);
}

// Styles the platform has no counterpart for.
bool editSelOutlineGetter(ObjectRecord*) { return false; }
void editSelOutlineSetter(ObjectRecord*, uint32_t, bool) {}
bool editSelShadowGetter(ObjectRecord*) { return false; }
void editSelShadowSetter(ObjectRecord*, uint32_t, bool) {}
bool editSelCondenseGetter(ObjectRecord*) { return false; }
void editSelCondenseSetter(ObjectRecord*, uint32_t, bool) {}
bool editSelExtendGetter(ObjectRecord*) { return false; }
void editSelExtendSetter(ObjectRecord*, uint32_t, bool) {}

bool editSelPlainGetter(ObjectRecord* field) {
  CHARFORMATA format;
  if (!SelectionFormat(field, format)) return false;
  DWORD styles = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE;
  return (format.dwMask & (CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE)) ==
             (CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE) &&
         !(format.dwEffects & styles);
}
void editSelPlainSetter(ObjectRecord* field, uint32_t, bool on) {
  if (on) SetSelectionEffect(field, CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE, 0, false);
}

StringRecord* editSelTextFontGetter(ObjectRecord* field) {
  CHARFORMATA format;
  if (!SelectionFormat(field, format) || !(format.dwMask & CFM_FACE)) return nullptr;
  return NewString(std::string_view(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE)));
}
void editSelTextFontSetter(ObjectRecord* field, uint32_t, StringRecord* font) {
  EditPane* pane = PaneOf(field);
  if (!pane) return;
  CHARFORMATA format = {};
  format.dwMask = CFM_FACE;
  std::string face = WindowsFaceName(StringView(font));
  lstrcpynA(format.szFaceName, face.c_str(), LF_FACESIZE);
  pane->SetSelectionFormat(format);
}

int32_t editSelTextSizeGetter(ObjectRecord* field) {
  CHARFORMATA format;
  if (!SelectionFormat(field, format) || !(format.dwMask & CFM_SIZE)) return 0;
  return MulDiv(format.yHeight, PixelsPerInch(), 1440);
}
void editSelTextSizeSetter(ObjectRecord* field, uint32_t, int32_t size) {
  EditPane* pane = PaneOf(field);
  if (!pane || size <= 0) return;
  CHARFORMATA format = {};
  format.dwMask = CFM_SIZE;
  format.yHeight = MulDiv(size, 1440, PixelsPerInch());
  pane->SetSelectionFormat(format);
}

uint32_t editSelTextColorGetter(ObjectRecord* field) {
  CHARFORMATA format;
  if (!SelectionFormat(field, format) || !(format.dwMask & CFM_COLOR)) return 0;
  COLORREF c = (format.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
  return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}
void editSelTextColorSetter(ObjectRecord* field, uint32_t, uint32_t color) {
  EditPane* pane = PaneOf(field);
  if (!pane) return;
  CHARFORMATA format = {};
  format.dwMask = CFM_COLOR;
  format.crTextColor = ToColorRef(WidenColour(color));
  pane->SetSelectionFormat(format);
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("EditField") == sizeof(EditFieldObject));

extern "C" {
VS_FONT_ACCESSORS(edit, EditFieldObject)
}  // extern "C"

EventEntry gEditFieldEvents[kEditFieldEventCount] = {
    {0, "TextChange", "", "", 0, nullptr},
    {0, "SelChange", "", "", 0, nullptr},
    {0, "KeyDown", "Key As String", "Boolean", 0, nullptr},
};

namespace {

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

const PropertyEntry kEditFieldProperties[] = {
    {nullptr, "Text", "String", CodeOf(editTextGetter), CodeOf(editTextSetter), 0},
    {nullptr, "Border", "Boolean", CodeOf(editBorderGetter), CodeOf(editBorderSetter), 0},
    {nullptr, "MultiLine", "Boolean", CodeOf(editMultiLineGetter), CodeOf(editMultiLineSetter), 0},
    {nullptr, "ScrollBar", "Boolean", CodeOf(editScrollBarGetter), CodeOf(editScrollBarSetter), 0},
    {nullptr, "ReadOnly", "Boolean", CodeOf(editReadOnlyGetter), CodeOf(editReadOnlySetter), 0},
    {nullptr, "LimitText", "Integer", CodeOf(editLimitTextGetter), CodeOf(editLimitTextSetter), 0},
    {nullptr, "Password", "Boolean", CodeOf(editPasswordGetter), CodeOf(editPasswordSetter), 0},
    {nullptr, "Styled", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     VS_FIELD_AT(EditFieldObject, styled)},
    {nullptr, "AcceptTabs", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     VS_FIELD_AT(EditFieldObject, acceptTabs)},
    {nullptr, "LiveUpdate", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     VS_FIELD_AT(EditFieldObject, liveUpdate)},
    {nullptr, "UseFocusRing", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     VS_FIELD_AT(EditFieldObject, useFocusRing)},
    {nullptr, "TextColor", "Color", CodeOf(intFieldGetter), CodeOf(editTextColorSetter),
     VS_FIELD_AT(EditFieldObject, textColor)},
    {nullptr, "BackColor", "Color", CodeOf(intFieldGetter), CodeOf(editBackColorSetter),
     VS_FIELD_AT(EditFieldObject, backColor)},
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
    VS_FONT_ROWS(edit, EditFieldObject),
};

const BuiltInHandler kEditFieldHandlers[] = {{"CreatePane", CodeOf(EditFieldCreatePane)}};

}  // namespace

const BuiltInBehaviour kEditFieldKind = {
    .name = "EditField", .constructor = EditFieldConstruct, .destructor = EditFieldDestruct,
    .events = gEditFieldEvents, .eventCount = kEditFieldEventCount,
    .properties = kEditFieldProperties, .propertyCount = CountOf(kEditFieldProperties),
    .handlers = kEditFieldHandlers, .handlerCount = CountOf(kEditFieldHandlers)};
