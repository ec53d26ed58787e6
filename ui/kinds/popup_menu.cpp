// PopupMenu: a drop-down list ("COMBOBOX") whose rows come from the
// described InitialValue, split at carriage returns, and from the row entry
// points. A row may carry a tag object (kept as the row's item data, with a
// reference). The user's choice of a row raises "Change".
#include "ui/kinds/popup_menu.h"

#include <windows.h>

#include <cstddef>
#include <string>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_rules.h"
#include "ui/kinds/kind_table.h"

namespace {

// The object as a PopupMenu; null for nil and for an object of any other class.
PopupMenuObject* Popup(ObjectRecord* o) { return As<PopupMenuObject>(o); }

PopupPane* PaneOf(ObjectRecord* popup) {
  PopupMenuObject* p = Popup(popup);
  return p ? static_cast<PopupPane*>(p->rect.pane) : nullptr;
}

// The list's drop-down part hangs below the control.
constexpr int kListHeight = 200;

}  // namespace

bool PopupPane::Create(HWND parent) {
  PopupMenuObject* p = As<PopupMenuObject>();
  if (!Make(parent, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, kListHeight))
    return false;
  Suppression quiet(this);
  for (const std::string& row : SplitItems(StringView(p->initialValue), '\r')) Insert(-1, row);
  RuntimeUnlockString(p->initialValue);
  p->initialValue = nullptr;
  return true;
}

void PopupPane::Close() {
  ReleaseTags();
  KindPane::Close();
}

void PopupPane::ReleaseTags() {
  if (!hwnd_) return;
  int32_t n = Count();
  for (int32_t i = 0; i < n; ++i) SetTag(i, nullptr);
}

int32_t PopupPane::Count() {
  if (!hwnd_) return 0;
  LRESULT n = SendMessageA(hwnd_, CB_GETCOUNT, 0, 0);
  return n == CB_ERR ? 0 : static_cast<int32_t>(n);
}

int32_t PopupPane::Selection() {
  if (!hwnd_) return -1;
  LRESULT row = SendMessageA(hwnd_, CB_GETCURSEL, 0, 0);
  return row == CB_ERR ? -1 : static_cast<int32_t>(row);
}

void PopupPane::Select(int32_t row) {
  if (!hwnd_) return;
  if (row < 0 || row >= Count()) row = -1;
  SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

StringRef PopupPane::Row(int32_t row) {
  if (!hwnd_ || row < 0 || row >= Count()) return {};
  LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, row, 0);
  if (length == CB_ERR || length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = SendMessageA(hwnd_, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  if (got == CB_ERR) return {};
  return StringRef::Adopt(NewString(std::string_view(text.data(), static_cast<size_t>(got))));
}

// The list holds zero-terminated texts: a row ends at its first zero byte.
void PopupPane::Insert(int32_t row, std::string_view text) {
  if (!hwnd_) return;
  std::string copy(text);
  if (row < 0 || row >= Count())
    SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str()));
  else
    SendMessageA(hwnd_, CB_INSERTSTRING, row, reinterpret_cast<LPARAM>(copy.c_str()));
}

void PopupPane::Remove(int32_t row) {
  if (!hwnd_ || row < 0 || row >= Count()) return;
  SetTag(row, nullptr);
  SendMessageA(hwnd_, CB_DELETESTRING, row, 0);
}

void PopupPane::Replace(int32_t row, std::string_view text) {
  if (!hwnd_ || row < 0 || row >= Count()) return;
  LRESULT data = SendMessageA(hwnd_, CB_GETITEMDATA, row, 0);
  bool selected = Selection() == row;
  std::string copy(text);
  SendMessageA(hwnd_, CB_DELETESTRING, row, 0);
  SendMessageA(hwnd_, CB_INSERTSTRING, row, reinterpret_cast<LPARAM>(copy.c_str()));
  SendMessageA(hwnd_, CB_SETITEMDATA, row, data == CB_ERR ? 0 : data);
  if (selected) SendMessageA(hwnd_, CB_SETCURSEL, row, 0);
}

void PopupPane::Empty() {
  if (!hwnd_) return;
  ReleaseTags();
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

ObjectRecord* PopupPane::Tag(int32_t row) {
  if (!hwnd_ || row < 0 || row >= Count()) return nullptr;
  LRESULT data = SendMessageA(hwnd_, CB_GETITEMDATA, row, 0);
  return data == CB_ERR ? nullptr : reinterpret_cast<ObjectRecord*>(data);
}

void PopupPane::SetTag(int32_t row, ObjectRecord* tag) {
  if (!hwnd_ || row < 0 || row >= Count()) return;
  ObjectRecord* old = Tag(row);
  if (old == tag) return;
  RuntimeLockObject(tag);
  SendMessageA(hwnd_, CB_SETITEMDATA, row, reinterpret_cast<LPARAM>(tag));
  RuntimeUnlockObject(old);
}

void PopupPane::Command(int code) {
  if (code == CBN_SELCHANGE && !Suppressed()) RaiseOnControl(control_, gPopupMenuEvents[0]);
}

void __cdecl PopupMenuCreatePane(ObjectRecord* control) {
  if (PopupMenuObject* p = Popup(control)) MakeKindPane<PopupPane>(&p->rect);
}

extern "C" {

int32_t RuntimePopupSelectionGetter(ObjectRecord* popup) {
  PopupPane* pane = PaneOf(popup);
  return pane ? pane->Selection() : -1;
}

void RuntimePopupSelectionSetter(ObjectRecord* popup, uint32_t, int32_t row) {
  if (PopupPane* pane = PaneOf(popup)) pane->Select(row);
}

int32_t RuntimePopupCountGetter(ObjectRecord* popup) {
  PopupPane* pane = PaneOf(popup);
  return pane ? pane->Count() : 0;
}

StringRecord* popupTextGetter(ObjectRecord* popup) {
  PopupPane* pane = PaneOf(popup);
  return pane ? pane->Row(pane->Selection()).Release() : nullptr;
}

void RuntimePopupAddRow(ObjectRecord* popup, StringRecord* text) {
  if (PopupPane* pane = PaneOf(popup)) pane->Insert(-1, StringView(text));
}

void RuntimePopupInsertRow(ObjectRecord* popup, int32_t row, StringRecord* text) {
  if (PopupPane* pane = PaneOf(popup)) pane->Insert(row < 0 ? 0 : row, StringView(text));
}

void RuntimePopupRemoveRow(ObjectRecord* popup, int32_t row) {
  if (PopupPane* pane = PaneOf(popup)) pane->Remove(row);
}

StringRecord* RuntimePopupGetRow(ObjectRecord* popup, int32_t row) {
  PopupPane* pane = PaneOf(popup);
  return pane ? pane->Row(row).Release() : nullptr;
}

void RuntimePopupSetRow(ObjectRecord* popup, int32_t row, StringRecord* text) {
  if (PopupPane* pane = PaneOf(popup)) pane->Replace(row, StringView(text));
}

void RuntimePopupAddSeparator(ObjectRecord* popup) {
  if (PopupPane* pane = PaneOf(popup)) pane->Insert(-1, "-");
}

void RuntimePopupEmpty(ObjectRecord* popup) {
  if (PopupPane* pane = PaneOf(popup)) pane->Empty();
}

ObjectRecord* RuntimePopupGetRowTag(ObjectRecord* popup, int32_t row) {
  PopupPane* pane = PaneOf(popup);
  ObjectRecord* tag = pane ? pane->Tag(row) : nullptr;
  RuntimeLockObject(tag);
  return tag;
}

void RuntimePopupSetRowTag(ObjectRecord* popup, int32_t row, ObjectRecord* tag) {
  if (PopupPane* pane = PaneOf(popup)) pane->SetTag(row, tag);
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("PopupMenu") == sizeof(PopupMenuObject));

extern "C" {
VS_FONT_ACCESSORS(popup, PopupMenuObject)
}  // extern "C"

EventEntry gPopupMenuEvents[1] = {{0, "Change", "", "", 0, nullptr}};

namespace {

void __cdecl PopupMenuDestruct(ObjectRecord* o, ClassRecord*) {
  auto* p = reinterpret_cast<PopupMenuObject*>(o);
  CloseControlPane(&p->rect);
  RuntimeUnlockString(p->initialValue);
  p->initialValue = nullptr;
  ReleaseFontFields(p->font);
}

const PropertyEntry kPopupMenuProperties[] = {
    {nullptr, "InitialValue", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     VS_FIELD_AT(PopupMenuObject, initialValue)},
    {nullptr, "ListIndex", "Integer", CodeOf(RuntimePopupSelectionGetter),
     CodeOf(RuntimePopupSelectionSetter), 0},
    {nullptr, "ListCount", "Integer", CodeOf(RuntimePopupCountGetter), nullptr, 0},
    {nullptr, "Text", "String", CodeOf(popupTextGetter), nullptr, 0},
    VS_FONT_ROWS(popup, PopupMenuObject),
};

const BuiltInHandler kPopupMenuHandlers[] = {{"CreatePane", CodeOf(PopupMenuCreatePane)}};

}  // namespace

const BuiltInBehaviour kPopupMenuKind = {
    .name = "PopupMenu", .destructor = PopupMenuDestruct,
    .events = gPopupMenuEvents, .eventCount = 1,
    .properties = kPopupMenuProperties, .propertyCount = CountOf(kPopupMenuProperties),
    .handlers = kPopupMenuHandlers, .handlerCount = CountOf(kPopupMenuHandlers)};
