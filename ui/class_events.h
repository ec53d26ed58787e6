// The events and property tables of the runtime's user-interface classes
// (Application, Window, Control, RectControl, Timer), in declaration order.
// Each table is defined beside its class (application.cpp,
// window_properties.cpp, control_properties.cpp, timers.cpp); start-up's
// built-in class table hands them to the class registry, which fills each
// entry's declaration word.
#pragma once
#include <cstdint>

#include "sdk/class_records.h"

// The events every Application declares.
enum ApplicationEvent {
  kAppOpen, kAppClose, kAppEnableMenuItems, kAppNewDocument, kAppOpenDocument,
  kAppHandleAppleEvent, kAppActivate, kAppDeactivate, kApplicationEventCount
};
extern EventEntry gApplicationEvents[kApplicationEventCount];

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
