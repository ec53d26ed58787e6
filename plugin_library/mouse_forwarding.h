// Behaviour slots that hand the mouse to the application: the control's
// MouseDown, MouseDrag and MouseUp events, in that order in `Events`.
#pragma once
#include "plugin_library/runtime_services.h"

template <EventDefinition* Events>
int __cdecl ForwardMouseDown(PlugInstance instance, int x, int y, int) {
  auto handler = reinterpret_cast<MouseDownHandler>(EventHandler(instance, Events[0]));
  return handler ? (handler(instance, x, y) & 0xFF) != 0 : 0;
}

template <EventDefinition* Events>
void __cdecl ForwardMouseDrag(PlugInstance instance, int x, int y) {
  if (auto handler = reinterpret_cast<MouseHandler>(EventHandler(instance, Events[1]))) handler(instance, x, y);
}

template <EventDefinition* Events>
void __cdecl ForwardMouseUp(PlugInstance instance, int x, int y) {
  if (auto handler = reinterpret_cast<MouseHandler>(EventHandler(instance, Events[2]))) handler(instance, x, y);
}

// Slots that exist so the pane finds a routine but have nothing to do.
inline void __cdecl IgnoreInstance(PlugInstance) {}
inline void __cdecl IgnoreDrawing(PlugInstance, PlugObject) {}

// The behaviour of a drawn control whose mouse goes to the application:
// `draw` paints it on screen and into pictures; closing its pane needs
// nothing. Controls with more to do add their slots to the table it gives.
template <EventDefinition* Events>
BehaviourTable DrawnControlBehaviour(void* draw) {
  BehaviourTable t{};
  t.slot[kSlotDraw] = draw;
  t.slot[kSlotMouseDown] = reinterpret_cast<void*>(ForwardMouseDown<Events>);
  t.slot[kSlotMouseDrag] = reinterpret_cast<void*>(ForwardMouseDrag<Events>);
  t.slot[kSlotMouseUp] = reinterpret_cast<void*>(ForwardMouseUp<Events>);
  t.slot[kSlotPaneClose] = reinterpret_cast<void*>(IgnoreInstance);
  t.slot[kSlotDrawInto] = draw;
  return t;
}
