// GroupBox: its pane (a "BUTTON" in the group-box style), its caption
// accessors and its row for the class registry.
#include "ui/kinds/group_box.h"

#include <windows.h>

#include <cstddef>

#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_table.h"

namespace {

GroupBoxObject* Group(ObjectRecord* o) { return reinterpret_cast<GroupBoxObject*>(o); }

}  // namespace

bool GroupBoxPane::Create(HWND parent) {
  return Make(parent, "BUTTON", StringCText(As<GroupBoxObject>()->caption), BS_GROUPBOX);
}

void __cdecl GroupBoxCreatePane(ObjectRecord* control) {
  if (control) MakeKindPane<GroupBoxPane>(&Group(control)->rect);
}

extern "C" {

StringRecord* groupCaptionGetter(ObjectRecord* group) {
  return group ? stringGetter(group, offsetof(GroupBoxObject, caption)) : nullptr;
}
void groupCaptionSetter(ObjectRecord* group, uint32_t, StringRecord* caption) {
  SetCaptionField(group, offsetof(GroupBoxObject, caption), caption);
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("GroupBox") == sizeof(GroupBoxObject));

extern "C" {
VS_FONT_ACCESSORS(group, GroupBoxObject)
}  // extern "C"

namespace {

void __cdecl GroupBoxDestruct(ObjectRecord* o, ClassRecord*) {
  auto* g = reinterpret_cast<GroupBoxObject*>(o);
  CloseControlPane(&g->rect);
  RuntimeUnlockString(g->caption);
  g->caption = nullptr;
  ReleaseFontFields(g->font);
}

const PropertyEntry kGroupBoxProperties[] = {
    {nullptr, "Caption", "String", CodeOf(groupCaptionGetter), CodeOf(groupCaptionSetter), 0},
    VS_FONT_ROWS(group, GroupBoxObject),
};

const BuiltInHandler kGroupBoxHandlers[] = {{"CreatePane", CodeOf(GroupBoxCreatePane)}};

}  // namespace

const BuiltInBehaviour kGroupBoxKind = {
    .name = "GroupBox", .destructor = GroupBoxDestruct,
    .properties = kGroupBoxProperties, .propertyCount = CountOf(kGroupBoxProperties),
    .handlers = kGroupBoxHandlers, .handlerCount = CountOf(kGroupBoxHandlers)};
