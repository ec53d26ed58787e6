// Placard: a raised panel, or a flat grey one when disabled; the mouse goes
// to the application's handlers.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/design_names.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"

namespace {

EventDefinition g_events[] = {
    {kMouseDownDeclaration, nullptr}, {kMouseDragDeclaration, nullptr}, {kMouseUpDeclaration, nullptr}};

// Slots 2 and 12: raised when enabled, flat grey when not; Value plays no part.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  HDC dc = canvas.dc();
  if (!dc) return;
  PlugRect b = ToPlugRect(ControlBounds(instance));
  if (!ControlEnabled(instance)) {
    FillColour(dc, b, RGB(0xEE, 0xEE, 0xEE));
    FrameColour(dc, b, RGB(0x99, 0x99, 0x99));
    return;
  }
  FillSysColour(dc, b, COLOR_BTNFACE);
  FrameColour(dc, b, RGB(0, 0, 0));
  RingEdges e = BevelRingEdges(PlugInset(b, 1));
  DrawPolyline(dc, e.lit, 3, GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawPolyline(dc, e.dark, 3, GetSysColor(COLOR_BTNSHADOW));
}

const PropertyDefinition kProperties[] = {
    {"Appearance", "Value", "boolean", 1, kField, kField, 0, 0, 0, nullptr},
};

const BehaviourTable kBehaviour = DrawnControlBehaviour<g_events>(reinterpret_cast<void*>(Draw));

ControlDefinition g_definition = {
    kControlDefinitionVersion, "Placard", 1, kFlagOwnUpdateRect | kFlagDesignOnly, {0, 0}, 64, 64,
    kProperties, 1, nullptr, 0, g_events, 3, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* PlacardDefinition() { return &g_definition; }
