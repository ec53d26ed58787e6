// Building a live window from its stored description. The order matters to
// the application: its reference slot is filled before any handler runs,
// every property is applied before the native window exists (so Frame,
// Placement and the size decide how it is made), the controls' panes exist
// before any "Open" runs, and the window appears on screen only at the next
// pump step, after all "Open" handlers have had their say.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/class_table.h"
#include "objects/events.h"
#include "objects/memory_span.h"
#include "objects/objects.h"
#include "objects/process_globals.h"
#include "objects/startup_trace.h"
#include "objects/strings.h"
#include "sdk/le_bytes.h"
#include "ui/class_events.h"
#include "ui/control_dictionary.h"
#include "ui/controls.h"
#include "ui/described_properties.h"
#include "objects/description_stream.h"
#include "ui/native_window.h"
#include "ui/pane.h"

namespace {

void ApplyWindowProperties(DescriptionStream& s, ObjectRecord* object, int32_t count) {
  for (int32_t i = 0; i < count && !s.Overrun(); ++i) {
    std::string_view name = s.PackedString();
    std::string_view value = s.PackedString();
    ApplyDescribedProperty(object, name, value);
  }
}

// The stored Width and Height at 0,0, moved where Placement puts it.
ShortRect PlacedBounds(const WindowObject* w) {
  FrameChoice frame = FrameOf(w->frame);
  int32_t placement = w->placement ? w->placement : frame.placement;
  int width = w->bounds.right - w->bounds.left, height = w->bounds.bottom - w->bounds.top;
  int dx = 0, dy = 0;
  switch (placement) {
    case 0: dx = 4, dy = 100; break;
    case 1:
    case 2:
    case 3:
      dx = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
      dy = (GetSystemMetrics(SM_CYSCREEN) - height) / 4;
      break;
    case 4: dx = 10, dy = 50; break;
    default: break;
  }
  return {static_cast<int16_t>(dy), static_cast<int16_t>(dx), static_cast<int16_t>(dy + height),
          static_cast<int16_t>(dx + width)};
}

NativeWindow* MakeNative(WindowObject* w) {
  FrameChoice frame = FrameOf(w->frame);
  NativeWindow* n = CreateNativeWindow(std::string(StringView(w->title)), w->bounds, frame.kind,
                                       w->closeBox, w->growIcon, w->zoomIcon);
  if (!n) return nullptr;
  SetNativeAttribute(n, "RuntimeViewWindow", 1);
  LinkIntoWindowList(n);
  RuntimeLockObject(&w->header);
  n->window = w;
  w->native = n;
  if (!w->visible) n->showWhenIdle = false;
  return n;
}

void ReadControls(DescriptionStream& s, WindowObject* w) {
  int32_t count = s.PackedInt();
  for (int32_t i = 0; i < count && !s.Overrun(); ++i) ApplyControlDescription(s, w);
}

void CreatePanes(WindowObject* w) {
  for (int32_t i = 0; i < ControlCount(w->controls); ++i) {
    ObjectRecord* c = ControlAt(w->controls, i);
    if (!IsRectControl(c)) continue;
    RaiseEvent(c, gControlEvents[kControlCreatePane]);
    auto* rc = reinterpret_cast<RectControlObject*>(c);
    Pane* pane = rc->pane;
    if (!pane) continue;
    pane->SetTabPanelIndex(rc->tabPanelIndex);
    if (!rc->visible) pane->SetState(kPaneHide);
    if (!rc->enabled) pane->SetState(kPaneDisable);
    pane->SetHelp(rc->balloonHelp, rc->disabledBalloonHelp);
  }
  for (int32_t i = 0; i < ControlCount(w->controls); ++i) {
    ObjectRecord* c = ControlAt(w->controls, i);
    if (!IsRectControl(c)) continue;
    if (Pane* pane = reinterpret_cast<RectControlObject*>(c)->pane) pane->WindowComplete();
  }
}

// The data bindings (none in the applications this runtime carries) are read
// past so that the stream ends where the description does.
void SkipBindings(DescriptionStream& s) {
  int32_t count = s.PackedInt();
  for (int32_t i = 0; i < count && !s.Overrun(); ++i) {
    s.PackedInt(), s.PackedString(), s.PackedInt(), s.PackedString();
    s.PackedInt(), s.PackedString(), s.PackedString();
  }
}

// Every control gets "Open" (a Timer's handler too: Control declares the
// event), then the window.
void RaiseOpen(WindowObject* w) {
  for (int32_t i = 0; i < ControlCount(w->controls); ++i)
    RaiseEvent(ControlAt(w->controls, i), gControlEvents[kControlOpen]);
  RaiseEvent(&w->header, gWindowEvents[kWindowOpen]);
}

// The creation reference belongs to the slot while the slot holds the
// window; a handler that emptied the slot has released it already.
ObjectRecord* Fail(ObjectRecord* object, ObjectRecord** slot) {
  if (slot && *slot != object) return nullptr;
  if (slot) *slot = nullptr;
  RuntimeUnlockObject(object);
  return nullptr;
}

// Whether objects of the class at `classIndex` may stand among a window's
// controls: controls, and the serial lines a window holds beside them (what
// the image builder allows). Anything else would be made and then read as a
// control by every entry point that takes one.
bool MayStandAmongControls(int32_t classIndex) {
  if (classIndex < 0 || classIndex >= ClassCount()) return false;
  const ClassRecord* cls = ClassAt(classIndex);
  return kClassOf<ControlObject>.Includes(cls) || kClassOf<SerialObject>.Includes(cls);
}

// The description's bytes after its byte count, which must lie in the data
// block with them and read whole, naming only classes that may stand among
// a window's controls; null when they do not. Checked before anything is
// made, so that a refusal leaves no half-built window behind.
const uint8_t* DescribedBytes(const uint8_t* description, uint32_t& length) {
  MemorySpan data{reinterpret_cast<uintptr_t>(gDataBase), gDataLength};
  auto at = reinterpret_cast<uintptr_t>(description);
  if (!ImageCheck(data.Holds(at, 4), "a window description lies outside the data block"))
    return nullptr;
  length = ReadU32LE(description);
  if (!ImageCheck(data.Holds(at + 4, length), "a window description runs past the data block"))
    return nullptr;
  std::vector<int32_t> controlClasses;
  if (!ImageCheck(WindowDescriptionReadsWhole(description + 4, length, &controlClasses),
                  "a window description is damaged"))
    return nullptr;
  if (!ImageCheck(std::all_of(controlClasses.begin(), controlClasses.end(), MayStandAmongControls),
                  "a window description names a control whose class is no control"))
    return nullptr;
  return description + 4;
}

// A new object of the described class, when that class is a window class.
ObjectRecord* NewWindowObject(int32_t classIndex) {
  ClassRecord* cls = ClassAt(classIndex);
  if (!ImageCheck(kClassOf<WindowObject>.Includes(cls),
                  "a window description names a class that is no window"))
    return nullptr;
  return RuntimeNewObject(classIndex);
}

// Everything after the window object exists: properties, the native window,
// controls and panes, then the "Open" events. The caller holds `object`.
ObjectRecord* Build(DescriptionStream& s, ObjectRecord* object, int32_t propertyCount,
                    ObjectRecord** slot) {
  auto* w = reinterpret_cast<WindowObject*>(object);
  ApplyWindowProperties(s, object, propertyCount);
  w->bounds = PlacedBounds(w);
  w->lastBounds = w->bounds;
  w->controls = NewControlDictionary();
  NativeWindow* n = MakeNative(w);
  if (!n) return Fail(object, slot);
  ReadControls(s, w);
  CreatePanes(w);
  StartupMark("controls' panes made");
  if (w->native && w->hasBackColor) SetCustomBackground(w->native, true, w->backColor);
  if (w->native) w->native->balloonHelp = std::string(StringView(w->balloonHelp));
  SkipBindings(s);
  RaiseOpen(w);
  if (!w->native) return Fail(object, slot);
  return object;
}

}  // namespace

extern "C" ObjectRecord* RuntimeCreateWindow(const uint8_t* description, ObjectRecord** slot) {
  if (!description) return nullptr;
  uint32_t length = 0;
  const uint8_t* described = DescribedBytes(description, length);
  if (!described) return nullptr;
  std::vector<uint8_t> bytes(described, described + length);
  DescriptionStream s(bytes.data(), length);
  int32_t propertyCount = s.PackedInt();
  ObjectRecord* object = NewWindowObject(s.PackedInt());
  if (!object) return nullptr;
  if (slot) *slot = object;
  // Held to the end: an "Open" handler may close the window and empty the slot.
  RuntimeLockObject(object);
  ObjectRecord* made = Build(s, object, propertyCount, slot);
  RuntimeUnlockObject(object);
  StartupMark("window created (its Open handlers run)");
  return made;
}
