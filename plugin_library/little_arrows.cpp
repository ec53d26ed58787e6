// LittleArrows: an up and a down half in a 13 x 23 box. Holding a half
// down raises its event once at the press and, after 240 ms, on every drag
// report while the pointer stays on that half.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"

namespace {

constexpr int kRepeatDelay = 15;  // 16 ms units

EventDefinition g_events[] = {{"Up", nullptr}, {"Down", nullptr}};

// The arrows' data inside their instance.
LittleArrowsData* Data(PlugInstance instance) {
  return DataOf<LittleArrowsData>(instance, *LittleArrowsDefinition());
}

// The time in the 16 ms units the press time is kept in.
int Now16() { return static_cast<int>(GetTickCount() / 16); }

// One half: face, edges sunk or raised, and its arrow glyph.
void DrawHalf(HDC dc, int left, int top, int part, bool pressed, bool enabled) {
  PlugRect h = LittleArrowsHalf(left, top, part);
  FillSysColour(dc, h, COLOR_BTNFACE);
  bool sunk = enabled && pressed;
  COLORREF lit = GetSysColor(sunk ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  COLORREF dark = GetSysColor(sunk ? COLOR_BTNFACE : COLOR_BTNSHADOW);
  RingEdges e = BevelRingEdges(h);
  DrawPolyline(dc, e.lit, 3, lit);
  DrawPolyline(dc, e.dark, 3, dark);
  // The outline takes the fill's colour so that the glyph keeps its size
  // whether enabled or not.
  COLORREF colour = enabled ? RGB(0, 0, 0) : RGB(192, 192, 192);
  HBRUSH ink = static_cast<HBRUSH>(GetStockObject(enabled ? BLACK_BRUSH : LTGRAY_BRUSH));
  HPEN edge = CreatePen(PS_SOLID, 1, colour);
  FillShape(dc, LittleArrowGlyph(left, top, part, sunk), ink, edge);
  DeleteObject(edge);
}

// The frame, the divider and both halves, the drawn part sunk.
void DrawArrows(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  HDC dc = canvas.dc();
  if (!dc) return;
  RECT b = ControlBounds(instance);
  int l = b.left, t = b.top;
  FrameColour(dc, {l, t, l + kLittleArrowsWidth, t + kLittleArrowsHeight}, RGB(0, 0, 0));
  DrawLine(dc, {l, t + 11}, {l + 12, t + 11}, RGB(0, 0, 0));
  bool enabled = ControlEnabled(instance);
  int drawn = Data(instance)->drawnPart;
  DrawHalf(dc, l, t, 1, drawn == 1, enabled);
  DrawHalf(dc, l, t, 2, drawn == 2, enabled);
}

// Slots 2 and 12.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) { DrawArrows(instance, graphics); }

// Redraws only when the part shown sunk changes.
void ShowPart(PlugInstance instance, int part) {
  LittleArrowsData* d = Data(instance);
  if (d->drawnPart == part) return;
  d->drawnPart = part;
  DrawArrows(instance, nullptr);
}

// Slot 3: raises the half's event at once and starts tracking.
int __cdecl MouseDown(PlugInstance instance, int x, int y, int) {
  if (!ControlEnabled(instance)) return 0;
  RECT b = ControlBounds(instance);
  int part = LittleArrowsPartAt(b.left, b.top, x, y);
  if (!part) return 0;
  LittleArrowsData* d = Data(instance);
  d->pressTime = Now16();
  d->pressedPart = part;
  RaiseEvent(instance, g_events[part - 1]);
  d->drawnPart = 0;
  ShowPart(instance, part);
  return 1;
}

// Slot 4: follows the pointer on and off the pressed half; repeats after the delay.
void __cdecl MouseDrag(PlugInstance instance, int x, int y) {
  LittleArrowsData* d = Data(instance);
  if (!d->pressedPart) return;
  RECT b = ControlBounds(instance);
  if (LittleArrowsPartAt(b.left, b.top, x, y) != d->pressedPart) {
    ShowPart(instance, 0);
    return;
  }
  ShowPart(instance, d->pressedPart);
  if (Now16() - d->pressTime > kRepeatDelay) RaiseEvent(instance, g_events[d->pressedPart - 1]);
}

// Slot 5: both halves raised again.
void __cdecl MouseUp(PlugInstance instance, int, int) {
  Data(instance)->pressedPart = 0;
  ShowPart(instance, 0);
}

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t{};
  t.slot[kSlotDraw] = reinterpret_cast<void*>(Draw);
  t.slot[kSlotMouseDown] = reinterpret_cast<void*>(MouseDown);
  t.slot[kSlotMouseDrag] = reinterpret_cast<void*>(MouseDrag);
  t.slot[kSlotMouseUp] = reinterpret_cast<void*>(MouseUp);
  t.slot[kSlotPaneClose] = reinterpret_cast<void*>(IgnoreInstance);
  t.slot[kSlotDrawInto] = reinterpret_cast<void*>(Draw);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "LittleArrows", sizeof(LittleArrowsData), kFlagDesignOnly, {0, 0}, 13, 23,
    nullptr, 0, nullptr, 0, g_events, 2, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* LittleArrowsDefinition() { return &g_definition; }
