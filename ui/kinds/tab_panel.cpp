// TabPanel: a tab control ("SysTabControl32") whose tabs come from the
// described TabDefinition, split at zero bytes. The controls of the window
// that lie on the panel belong to the tab their TabPanelIndex names (1 = the
// first tab): selecting a tab shows those and hides the others on the panel;
// controls elsewhere on the window are left alone.
#include "ui/kinds/tab_panel.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/control_dictionary.h"
#include "ui/controls.h"
#include "ui/kinds/kind_rules.h"
#include "ui/kinds/kind_table.h"

namespace {

// The object as a TabPanel; null for nil and for an object of any other class.
TabPanelObject* Panel(ObjectRecord* o) { return As<TabPanelObject>(o); }

TabPanelPane* PaneOf(TabPanelObject* panel) { return static_cast<TabPanelPane*>(panel->rect.pane); }

}  // namespace

// Facing 1 puts the tabs along the bottom edge; any other value at the top.
// SmallTabs has no counterpart here (a tab's height follows its font).
bool TabPanelPane::Create(HWND parent) {
  TabPanelObject* t = As<TabPanelObject>();
  DWORD style = WS_CLIPSIBLINGS | WS_TABSTOP | (t->facing == 1 ? TCS_BOTTOM : 0);
  if (!Make(parent, WC_TABCONTROLA, "", style)) return false;
  // The controls on the panel are its siblings: they must lie above it.
  SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (const std::string& title : SplitItems(StringView(t->tabDefinition), '\0')) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(title.c_str());
    SendMessageA(hwnd_, TCM_INSERTITEMA, TabCount(), reinterpret_cast<LPARAM>(&item));
  }
  int32_t first = t->value > 0 && t->value < TabCount() ? t->value : 0;
  if (TabCount() > 0) SendMessageA(hwnd_, TCM_SETCURSEL, first, 0);
  return true;
}

// The other panes exist now: the panel shows its selected tab.
void TabPanelPane::WindowComplete() { ShowSelectedTab(); }

int32_t TabPanelPane::TabCount() {
  return hwnd_ ? static_cast<int32_t>(SendMessageA(hwnd_, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

int32_t TabPanelPane::Selected() {
  return hwnd_ ? static_cast<int32_t>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0)) : -1;
}

void TabPanelPane::Select(int32_t tab) {
  if (!hwnd_) return;
  SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  ShowSelectedTab();
  RaiseOnControl(control_, gTabPanelEvents[0]);
}

// A control the application made invisible stays hidden on its tab.
void TabPanelPane::ShowSelectedTab() {
  if (!control_ || !control_->control.window) return;
  auto* window = reinterpret_cast<WindowObject*>(control_->control.window);
  int32_t number = Selected() + 1;
  for (int32_t i = 0; i < ControlCount(window->controls); ++i) {
    ObjectRecord* c = ControlAt(window->controls, i);
    if (c == ControlObjectRecord() || !IsRectControl(c)) continue;
    auto* rc = reinterpret_cast<RectControlObject*>(c);
    if (!rc->pane || !LiesInside(rc->bounds, control_->bounds)) continue;
    rc->pane->SetState(rc->tabPanelIndex == number && rc->visible ? kPaneShow : kPaneHide);
  }
}

LRESULT TabPanelPane::Notify(NMHDR* header) {
  if (header->code != static_cast<UINT>(TCN_SELCHANGE)) return 0;
  ShowSelectedTab();
  RaiseOnControl(control_, gTabPanelEvents[0]);
  return 0;
}

void TabPanelPane::Close() {
  if (body_) DeleteObject(body_);
  body_ = nullptr;
  KindPane::Close();
}

// The body is drawn once into a bitmap of the panel's size (again when the
// size changes) and used as a pattern.
HBRUSH TabPanelPane::BodyBrush(HDC dc, const ShortRect& bounds) {
  if (!hwnd_) return nullptr;
  RECT r;
  GetClientRect(hwnd_, &r);
  if (!body_ || bodySize_.cx != r.right || bodySize_.cy != r.bottom) {
    if (body_) DeleteObject(body_);
    body_ = nullptr;
    HDC screen = GetDC(hwnd_);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    FillRect(memory, &r, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageA(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(hwnd_, screen);
    body_ = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    bodySize_ = {r.right, r.bottom};
  }
  const ShortRect& panel = control_->bounds;
  SetBrushOrgEx(dc, panel.left - bounds.left, panel.top - bounds.top, nullptr);
  SetBkMode(dc, TRANSPARENT);
  return body_;
}

void TabPanelPane::DrawBody(HDC dc, const ShortRect& bounds) {
  if (!hwnd_) return;
  const ShortRect& panel = control_->bounds;
  POINT old;
  SetViewportOrgEx(dc, panel.left - bounds.left, panel.top - bounds.top, &old);
  SendMessageA(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

TabPanelPane* TabPanelUnder(const RectControlObject* control) {
  if (!control || !control->control.window) return nullptr;
  auto* window = reinterpret_cast<WindowObject*>(control->control.window);
  TabPanelPane* found = nullptr;
  for (int32_t i = 0; i < ControlCount(window->controls); ++i) {
    ObjectRecord* c = ControlAt(window->controls, i);
    TabPanelObject* panel = c == &control->control.header ? nullptr : Panel(c);
    if (!panel) continue;
    RectControlObject* rc = &panel->rect;
    if (!rc->pane || !rc->pane->Handle() || !IsWindowVisible(rc->pane->Handle())) continue;
    if (LiesInside(control->bounds, rc->bounds)) found = static_cast<TabPanelPane*>(rc->pane);
  }
  return found;
}

void __cdecl TabPanelCreatePane(ObjectRecord* control) {
  if (TabPanelObject* t = Panel(control)) MakeKindPane<TabPanelPane>(&t->rect);
}

extern "C" {

int32_t tabPanelValueGetter(ObjectRecord* panel) {
  TabPanelObject* t = Panel(panel);
  TabPanelPane* pane = t ? PaneOf(t) : nullptr;
  return pane ? pane->Selected() : 0;
}

void tabPanelValueSetter(ObjectRecord* panel, uint32_t, int32_t tab) {
  TabPanelObject* t = Panel(panel);
  if (!t) return;
  t->value = tab;
  if (TabPanelPane* pane = PaneOf(t)) pane->Select(tab);
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("TabPanel") == sizeof(TabPanelObject));

EventEntry gTabPanelEvents[1] = {{0, "Change", "", "", 0, nullptr}};

namespace {

void __cdecl TabPanelDestruct(ObjectRecord* o, ClassRecord*) {
  auto* t = reinterpret_cast<TabPanelObject*>(o);
  CloseControlPane(&t->rect);
  RuntimeUnlockString(t->tabDefinition);
  t->tabDefinition = nullptr;
  ReleaseFontFields(t->font);
}

const PropertyEntry kTabPanelProperties[] = {
    {nullptr, "TabDefinition", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     VS_FIELD_AT(TabPanelObject, tabDefinition)},
    {nullptr, "Value", "Integer", CodeOf(tabPanelValueGetter), CodeOf(tabPanelValueSetter), 0},
    {nullptr, "Facing", "Integer", CodeOf(intFieldGetter), CodeOf(intFieldSetter),
     VS_FIELD_AT(TabPanelObject, facing)},
    {nullptr, "SmallTabs", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     VS_FIELD_AT(TabPanelObject, smallTabs)},
    VS_GENERIC_FONT_ROWS(TabPanelObject),
};

const BuiltInHandler kTabPanelHandlers[] = {{"CreatePane", CodeOf(TabPanelCreatePane)}};

}  // namespace

const BuiltInBehaviour kTabPanelKind = {
    .name = "TabPanel", .destructor = TabPanelDestruct, .events = gTabPanelEvents, .eventCount = 1,
    .properties = kTabPanelProperties, .propertyCount = CountOf(kTabPanelProperties),
    .handlers = kTabPanelHandlers, .handlerCount = CountOf(kTabPanelHandlers)};
