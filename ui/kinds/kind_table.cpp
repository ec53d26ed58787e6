// The font setters the kinds' tables share; see kind_table.h. A setter
// stores first and then refreshes, so that the pane reads the new value
// when it asks its fields for the font.
#include "ui/kinds/kind_table.h"

#include "objects/objects.h"
#include "ui/kinds/kind_pane.h"

namespace {

void RefreshFontOf(ObjectRecord* control) {
  Pane* pane = reinterpret_cast<RectControlObject*>(control)->pane;
  if (pane) static_cast<KindPane*>(pane)->RefreshFont();
}

}  // namespace

void __cdecl FontNameSetter(ObjectRecord* control, uint32_t offset, StringRecord* name) {
  if (!control) return;
  stringSetter(control, offset, name);
  RefreshFontOf(control);
}

void __cdecl FontSizeSetter(ObjectRecord* control, uint32_t offset, int32_t size) {
  if (!control) return;
  FieldAt<int32_t>(control, offset) = size;
  RefreshFontOf(control);
}

void __cdecl FontStyleSetter(ObjectRecord* control, uint32_t offset, bool on) {
  if (!control) return;
  FieldAt<uint8_t>(control, offset) = on ? 1 : 0;
  RefreshFontOf(control);
}

void ReleaseFontFields(ControlFontFields& f) {
  RuntimeUnlockString(f.textFont);
  f.textFont = nullptr;
}
