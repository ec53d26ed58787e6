// GroupBox: its pane (a "BUTTON" in the group-box style), its caption
// accessors and its row for the class registry.
#include "ui/kinds/group_box.h"

#include <windows.h>

#include <cstddef>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_table.h"

namespace {

// The object as a GroupBox; null for nil and for an object of any other class.
GroupBoxObject* Group(ObjectRecord* o) { return As<GroupBoxObject>(o); }

}  // namespace

bool GroupBoxPane::Create(HWND parent) {
  return Make(parent, "BUTTON", StringCText(As<GroupBoxObject>()->caption), BS_GROUPBOX);
}

void __cdecl GroupBoxCreatePane(ObjectRecord* control) {
  if (GroupBoxObject* g = Group(control)) MakeKindPane<GroupBoxPane>(&g->rect);
}

extern "C" {

StringRecord* groupCaptionGetter(ObjectRecord* group) { return KindCaption<GroupBoxObject>(group); }
void groupCaptionSetter(ObjectRecord* group, uint32_t, StringRecord* caption) {
  SetKindCaption<GroupBoxObject>(group, caption);
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
