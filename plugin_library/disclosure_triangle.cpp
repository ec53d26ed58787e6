// DisclosureTriangle: a small triangle that points right (or left) when
// closed and down when open, flipped by a click inside it.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/design_names.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"

namespace {

EventDefinition g_events[] = {{"Action", nullptr}};

// The triangle's data inside its instance.
DisclosureTriangleData* Data(PlugInstance instance) {
  return DataOf<DisclosureTriangleData>(instance, *DisclosureTriangleDefinition());
}

// Slots 2 and 12: the shape for the current Value and Facing.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  if (!canvas.dc()) return;
  RECT b = ControlBounds(instance);
  DisclosureTriangleData* d = Data(instance);
  // Outlined with whatever pen the pane left selected.
  FillShape(canvas.dc(), DisclosureShape(b.left, b.top, d->value, d->facing),
            GetSysColorBrush(COLOR_BTNHIGHLIGHT), nullptr);
}

// Value setter: stores the byte and redraws at once.
void __cdecl ValueSetter(PlugInstance instance, uint32_t, int value) {
  Data(instance)->value = (value & 0xFF) ? 1 : 0;
  Draw(instance, nullptr);
}

// Slot 3: a press inside flips Value and acts; one outside is declined.
int __cdecl MouseDown(PlugInstance instance, int x, int y, int) {
  if (!PlugContains(ToPlugRect(ControlBounds(instance)), x, y)) return 0;
  DisclosureTriangleData* d = Data(instance);
  d->value = !d->value;
  Draw(instance, nullptr);
  RaiseEvent(instance, g_events[0]);
  return 1;
}

const PropertyDefinition kProperties[] = {
    {"Initial State", "Value", "Boolean", 0, kField, reinterpret_cast<void*>(ValueSetter), 0, 0, 0, nullptr},
    {"Appearance", "Facing", "Integer", 1, kField, kField, 4, 0, 2, kDisclosureFacingNames},
};

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t{};
  t.slot[kSlotDraw] = reinterpret_cast<void*>(Draw);
  t.slot[kSlotMouseDown] = reinterpret_cast<void*>(MouseDown);
  t.slot[kSlotPaneClose] = reinterpret_cast<void*>(IgnoreInstance);
  t.slot[kSlotDrawInto] = reinterpret_cast<void*>(Draw);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "DisclosureTriangle", sizeof(DisclosureTriangleData), 0, {0, 0}, 12, 12,
    kProperties, 2, nullptr, 0, g_events, 1, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* DisclosureTriangleDefinition() { return &g_definition; }
