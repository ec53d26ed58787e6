// PopupArrow: a small black arrow head in one of four directions, at full
// or half size; the mouse goes to the application's handlers.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/design_names.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"

namespace {

EventDefinition g_events[] = {
    {kMouseDownDeclaration, nullptr}, {kMouseDragDeclaration, nullptr}, {kMouseUpDeclaration, nullptr}};

// Slots 2 and 12: the arrow head for Facing.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  if (!canvas.dc()) return;
  RECT b = ControlBounds(instance);
  int facing = DataOf<PopupArrowData>(instance, *PopupArrowDefinition())->facing;
  FillBlackShape(canvas.dc(), PopupArrowShape(b.left, b.top, facing));
}

void* const kField = reinterpret_cast<void*>(kDefaultAccessor);

const PropertyDefinition kProperties[] = {
    {"Appearance", "Facing", "Integer", 1, kField, kField, 0, 0, 8, kPopupArrowFacingNames},
};

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t{};
  t.slot[kSlotDraw] = reinterpret_cast<void*>(Draw);
  t.slot[kSlotMouseDown] = reinterpret_cast<void*>(ForwardMouseDown<g_events>);
  t.slot[kSlotMouseDrag] = reinterpret_cast<void*>(ForwardMouseDrag<g_events>);
  t.slot[kSlotMouseUp] = reinterpret_cast<void*>(ForwardMouseUp<g_events>);
  t.slot[kSlotPaneClose] = reinterpret_cast<void*>(IgnoreInstance);
  t.slot[kSlotDrawInto] = reinterpret_cast<void*>(Draw);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "PopupArrow", sizeof(PopupArrowData), 0, {0, 0}, 10, 10,
    kProperties, 1, nullptr, 0, g_events, 3, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* PopupArrowDefinition() { return &g_definition; }
