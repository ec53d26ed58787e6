// The built-in class registry: the one place where the runtime's own classes
// are described, as static tables that become class records at start-up and
// are indexed by name. Later subsystems add their classes' properties, events
// and behaviour to these tables.
#pragma once
#include <cstdint>
#include <string_view>

#include "sdk/builtin_class_layout.h"
#include "sdk/class_records.h"

// An event handler a built-in class brings along (the control kinds' own
// "CreatePane"): found like an application's handler, along the class chain.
struct BuiltInHandler {
  const char* event;
  CodeAddress code;
};

// Constructor, destructor, events, properties, methods and handlers of a
// built-in class whose name, superclass and size are in
// sdk/builtin_class_layout.h.
struct BuiltInBehaviour {
  const char* name;
  ObjectHook constructor;
  ObjectHook destructor;
  EventEntry* events;  // the runtime writes each declaration back into its entry
  uint32_t eventCount;
  const PropertyEntry* properties;
  uint32_t propertyCount;
  const MethodEntry* methods;
  uint32_t methodCount;
  const BuiltInHandler* handlers;
  uint32_t handlerCount;
};

// Builds a record for every built-in class and indexes them by name. Runs
// once; later calls do nothing.
void RegisterBuiltInClasses();

// The built-in class named `name` (any letter case), or null.
ClassRecord* FindBuiltInClass(std::string_view name);

// The events every Application declares, in declaration order; the entries'
// declaration words are filled by RegisterBuiltInClasses.
enum ApplicationEvent {
  kAppOpen, kAppClose, kAppEnableMenuItems, kAppNewDocument, kAppOpenDocument,
  kAppHandleAppleEvent, kAppActivate, kAppDeactivate, kApplicationEventCount
};
extern EventEntry gApplicationEvents[kApplicationEventCount];
extern EventEntry gThreadEvents[1];

// Events of windows, in declaration order.
enum WindowEvent {
  kWindowOpen, kWindowClose, kWindowCancelClose, kWindowActivate, kWindowDeactivate,
  kWindowPaint, kWindowMouseDown, kWindowMouseDrag, kWindowMouseUp, kWindowMouseMove,
  kWindowMouseEnter, kWindowMouseExit, kWindowKeyDown, kWindowResized, kWindowMoved,
  kWindowEnableMenuItems, kWindowDropObject, kWindowEndSession, kWindowEventCount
};
extern EventEntry gWindowEvents[kWindowEventCount];

// Events every control has ("CreatePane", "Open", "Close"), and those of
// controls that occupy a rectangle.
enum ControlEvent { kControlCreatePane, kControlOpen, kControlClose, kControlEventCount };
extern EventEntry gControlEvents[kControlEventCount];
enum RectControlEvent {
  kRectGotFocus, kRectLostFocus, kRectMouseDown, kRectMouseDrag, kRectMouseUp, kRectMouseMove,
  kRectMouseEnter, kRectMouseExit, kRectDropObject, kRectControlEventCount
};
extern EventEntry gRectControlEvents[kRectControlEventCount];

enum TimerEvent { kTimerAction, kTimerEventCount };
extern EventEntry gTimerEvents[kTimerEventCount];

// Property tables of the user-interface classes, defined with their classes.
extern const PropertyEntry kWindowProperties[];
extern const uint32_t kWindowPropertyCount;
extern const PropertyEntry kControlProperties[];
extern const uint32_t kControlPropertyCount;
extern const PropertyEntry kRectControlProperties[];
extern const uint32_t kRectControlPropertyCount;
extern const PropertyEntry kTimerProperties[];
extern const uint32_t kTimerPropertyCount;
