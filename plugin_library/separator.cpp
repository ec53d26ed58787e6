// Separator: an etched line, a shadow line with a highlight line beside
// it, across the middle of the longer side of the bounds.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"

namespace {

// Slot 2: the two lines; drawing into another context (slot 12) is skipped.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  if (!canvas.dc()) return;
  SeparatorLines lines = SeparatorGeometry(ToPlugRect(ControlBounds(instance)));
  DrawLine(canvas.dc(), lines.shadowFrom, lines.shadowTo, GetSysColor(COLOR_BTNSHADOW));
  DrawLine(canvas.dc(), lines.lightFrom, lines.lightTo, GetSysColor(COLOR_BTNHIGHLIGHT));
}

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t{};
  t.slot[kSlotDraw] = reinterpret_cast<void*>(Draw);
  t.slot[kSlotPaneClose] = reinterpret_cast<void*>(IgnoreInstance);
  t.slot[kSlotDrawInto] = reinterpret_cast<void*>(IgnoreDrawing);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "Separator", 1, 0, {0, 0}, 64, 4,
    nullptr, 0, nullptr, 0, nullptr, 0, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* SeparatorDefinition() { return &g_definition; }
