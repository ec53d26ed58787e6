// The control dictionary; see control_dictionary.h. The runtime's NameMap
// does the hashing and keeps insertion order; its values are positions in a
// vector of references, so access by position (windowControl) costs nothing.
// Keys are folded through the collation table before they reach the NameMap,
// so that two keys the collation calls equal always share a hash as well.
#include "ui/control_dictionary.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "objects/collation.h"
#include "objects/name_map.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"

struct ControlDictionary {
  NameMap positions;  // folded key -> position + 1
  std::vector<ObjectRecord*> controls;
};

namespace {

std::string Folded(std::string_view key) {
  std::string folded(key);
  for (char& c : folded) c = static_cast<char>(Collate(static_cast<uint8_t>(c)));
  return folded;
}

// The window field is not a counted reference (the window already holds the
// control): a control that outlives its place in the dictionary must not
// keep pointing at a window that may go away.
void Let(ObjectRecord* control) {
  if (!control) return;
  if (control->refCount > 1) reinterpret_cast<ControlObject*>(control)->window = nullptr;
  RuntimeUnlockObject(control);
}

}  // namespace

ControlDictionary* NewControlDictionary() { return new ControlDictionary; }

void DestroyControlDictionary(ControlDictionary* controls) {
  if (!controls) return;
  // Taken out first: a destructor run by the release may look at the window.
  std::vector<ObjectRecord*> held = std::move(controls->controls);
  controls->controls.clear();
  controls->positions.Clear();
  for (ObjectRecord* control : held) Let(control);
  delete controls;
}

void InsertControl(ControlDictionary* controls, std::string_view key, ObjectRecord* control) {
  if (!controls || !control) return;
  std::string folded = Folded(key);
  RuntimeLockObject(control);
  uint32_t position = controls->positions.Find(folded);
  if (!position) {
    controls->controls.push_back(control);
    controls->positions.Insert(folded, static_cast<uint32_t>(controls->controls.size()));
    return;
  }
  ObjectRecord* old = std::exchange(controls->controls[position - 1], control);
  bool stillHeld = std::find(controls->controls.begin(), controls->controls.end(), old) !=
                   controls->controls.end();
  if (stillHeld)
    RuntimeUnlockObject(old);
  else
    Let(old);
}

ObjectRecord* FindControl(const ControlDictionary* controls, std::string_view key) {
  if (!controls) return nullptr;
  uint32_t position = controls->positions.Find(Folded(key));
  return position ? controls->controls[position - 1] : nullptr;
}

int32_t ControlCount(const ControlDictionary* controls) {
  return controls ? static_cast<int32_t>(controls->controls.size()) : 0;
}

ObjectRecord* ControlAt(const ControlDictionary* controls, int32_t position) {
  if (position < 0 || position >= ControlCount(controls)) return nullptr;
  return controls->controls[position];
}

std::string ControlKey(std::string_view name, int32_t index) {
  std::string key(name);
  if (index == INT32_MIN) return key;
  key.push_back('$');
  key.append(std::to_string(index));
  return key;
}
