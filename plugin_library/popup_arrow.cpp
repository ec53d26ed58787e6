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

const PropertyDefinition kProperties[] = {
    {"Appearance", "Facing", "Integer", 1, kField, kField, 0, 0, 8, kPopupArrowFacingNames},
};

const BehaviourTable kBehaviour = DrawnControlBehaviour<g_events>(reinterpret_cast<void*>(Draw));

ControlDefinition g_definition = {
    kControlDefinitionVersion, "PopupArrow", sizeof(PopupArrowData), 0, {0, 0}, 10, 10,
    kProperties, 1, nullptr, 0, g_events, 3, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* PopupArrowDefinition() { return &g_definition; }
