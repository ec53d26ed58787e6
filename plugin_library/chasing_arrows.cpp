// ChasingArrows: two arrows chasing each other round a 16 x 16 square,
// one frame further on every periodic call while the control is visible.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"

namespace {

// The arrows' data inside their instance.
ChasingArrowsData* Data(PlugInstance instance) {
  return DataOf<ChasingArrowsData>(instance, *ChasingArrowsDefinition());
}

// One arrow: its solid head and its one-pixel tail.
void DrawArrow(HDC dc, const ArrowFrame& f) {
  PlugPolygon head{{f.triangle[0], f.triangle[1], f.triangle[2]}, 3};
  FillShape(dc, head, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
  DrawPolyline(dc, f.line, f.lineCount, RGB(0, 0, 0));
}

// Slots 2 and 12: the current frame on the colour behind the control.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  HDC dc = canvas.dc();
  if (!dc) return;
  RECT b = ControlBounds(instance);
  FillColour(dc, {b.left, b.top, b.left + 16, b.top + 16}, SpecialBackground(instance));
  SavedDC saved(dc);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  int frame = Data(instance)->frame & 7;
  DrawArrow(dc, ChasingArrowsFrame(frame, b.left, b.top, false));
  DrawArrow(dc, ChasingArrowsFrame(frame, b.left, b.top, true));
}

// Slot 11: the next frame, only while the control can be seen.
void __cdecl Animate(PlugInstance instance) {
  if (!ControlVisible(instance)) return;
  ChasingArrowsData* d = Data(instance);
  d->frame = (d->frame + 1) & 7;
  Draw(instance, nullptr);
}

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t{};
  t.slot[kSlotDraw] = reinterpret_cast<void*>(Draw);
  t.slot[kSlotPaneClose] = reinterpret_cast<void*>(IgnoreInstance);
  t.slot[kSlotPeriodic] = reinterpret_cast<void*>(Animate);
  t.slot[kSlotDrawInto] = reinterpret_cast<void*>(Draw);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "ChasingArrows", sizeof(ChasingArrowsData), 0, {0, 0}, 16, 16,
    nullptr, 0, nullptr, 0, nullptr, 0, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* ChasingArrowsDefinition() { return &g_definition; }
