// What all controls share: recognising RectControls, building a control from
// its ControlDescription, and finding a window's controls by name. A control
// points back at its window without a reference of its own (the window holds
// the control through its dictionary); the dictionary clears that pointer of
// any control it lets go while others still hold it.
#include "ui/controls.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "objects/checked_cast.h"
#include "objects/collation.h"
#include "objects/strings.h"
#include "ui/control_dictionary.h"
#include "ui/described_properties.h"
#include "ui/pane.h"

namespace {

// Reads past the pairs of a control that could not be made, so that the
// stream stays on the next description.
void SkipPairs(DescriptionStream& stream, int32_t count) {
  for (int32_t i = 0; i < count && !stream.Overrun(); ++i) {
    stream.PackedString();
    stream.PackedString();
  }
}

// Descriptions do not always store every common property (a kind may leave
// out "Enabled"): a described control starts as a plain element-less,
// visible, enabled control, and its properties then say otherwise.
void SetDefaults(ObjectRecord* control) {
  if (!IsControl(control)) return;
  reinterpret_cast<ControlObject*>(control)->index = INT32_MIN;
  if (!IsRectControl(control)) return;
  auto* rc = reinterpret_cast<RectControlObject*>(control);
  rc->pane = nullptr;
  rc->visible = 1;
  rc->enabled = 1;
}

ObjectRecord* Lookup(ObjectRecord* window, std::string_view key) {
  WindowObject* w = As<WindowObject>(window);
  return w ? FindControl(w->controls, key) : nullptr;
}

ObjectRecord* Referenced(ObjectRecord* control) {
  RuntimeLockObject(control);
  return control;
}

}  // namespace

bool IsControl(const ObjectRecord* object) { return kClassOf<ControlObject>.Holds(object); }

bool IsRectControl(const ObjectRecord* object) { return kClassOf<RectControlObject>.Holds(object); }

ObjectRecord* ApplyControlDescription(DescriptionStream& stream, WindowObject* window) {
  int32_t classIndex = stream.PackedInt();
  ObjectRecord* control = RuntimeNewObject(classIndex);
  int32_t count = stream.PackedInt();
  if (!control || !window) {
    SkipPairs(stream, count);
    RuntimeUnlockObject(control);
    return nullptr;
  }
  // A described object that is no Control (a serial line) has fields of
  // its own where a control keeps its window and index.
  if (IsControl(control)) reinterpret_cast<ControlObject*>(control)->window = &window->header;
  SetDefaults(control);
  std::string name;
  int32_t index = INT32_MIN;
  for (int32_t i = 0; i < count && !stream.Overrun(); ++i) {
    std::string_view property = stream.PackedString();
    std::string_view value = stream.PackedString();
    if (CollateEqual(property, "Name")) name = value;
    if (CollateEqual(property, "Index")) index = std::atol(std::string(value).c_str());
    ApplyDescribedProperty(control, property, value);
  }
  if (!window->controls) window->controls = NewControlDictionary();
  InsertControl(window->controls, ControlKey(name, index), control);
  RuntimeUnlockObject(control);  // the dictionary holds it now
  return control;
}

void CloseControlPane(RectControlObject* control) {
  if (!control || !control->pane) return;
  Pane* pane = control->pane;
  control->pane = nullptr;
  pane->Close();
  delete pane;
}

void __cdecl ControlDestruct(ObjectRecord* control, ClassRecord*) {
  auto* c = reinterpret_cast<ControlObject*>(control);
  RuntimeUnlockString(std::exchange(c->name, nullptr));
  c->window = nullptr;
}

void __cdecl RectControlDestruct(ObjectRecord* control, ClassRecord*) {
  auto* rc = reinterpret_cast<RectControlObject*>(control);
  CloseControlPane(rc);
  RuntimeUnlockObject(std::exchange(rc->mouseCursor, nullptr));
  RuntimeUnlockString(std::exchange(rc->balloonHelp, nullptr));
  RuntimeUnlockString(std::exchange(rc->disabledBalloonHelp, nullptr));
}

extern "C" {

ObjectRecord* RuntimeControlFetch(ObjectRecord* window, StringRecord* name) {
  return Lookup(window, StringView(name));
}

ObjectRecord* RuntimeControlReference(ObjectRecord* window, StringRecord* name) {
  return Referenced(Lookup(window, StringView(name)));
}

ObjectRecord* RuntimeControlArrayItemReference(ObjectRecord* window, StringRecord* name,
                                               int32_t index) {
  return Referenced(Lookup(window, ControlKey(StringView(name), index)));
}

ObjectRecord* controlWindowGetter(ObjectRecord* control) {
  ControlObject* c = As<ControlObject>(control);
  return c ? Referenced(c->window) : nullptr;
}

}  // extern "C"
