// The BevelButton's registration record: its properties, methods, event and
// behaviour table, and the construction and destruction they rely on.
#include <stddef.h>

#include "plugin_library/bevel_button.h"
#include "plugin_library/design_names.h"
#include "plugin_library/picture_field.h"
#include "plugin_library/runtime_services.h"

namespace {

template <typename F>
void* R(F routine) {
  return reinterpret_cast<void*>(routine);
}

constexpr uint32_t Offset(size_t o) { return static_cast<uint32_t>(o); }

const PropertyDefinition kProperties[] = {
    {"Appearance", "Caption", "String", 0, R(BevelCaptionGetter), R(BevelCaptionSetter), 0, 0, 0, nullptr},
    {"Appearance", "CaptionAlign", "Integer", 0, kField, R(BevelIntSetter),
     Offset(offsetof(BevelButtonData, captionAlign)), 0, 4, kCaptionAlignNames},
    {"Appearance", "CaptionPlacement", "Integer", 0, kField, R(BevelIntSetter),
     Offset(offsetof(BevelButtonData, captionPlacement)), 0, 6, kCaptionPlacementNames},
    {"Appearance", "CaptionDelta", "Integer", 0, kField, R(BevelIntSetter),
     Offset(offsetof(BevelButtonData, captionDelta)), 0, 0, nullptr},
    {"Appearance", "Icon", "Picture", 0, kField, R(BevelIconSetter),
     Offset(offsetof(BevelButtonData, icon)), 0, 0, nullptr},
    {"Appearance", "IconAlign", "Integer", 0, kField, R(BevelIntSetter),
     Offset(offsetof(BevelButtonData, iconAlign)), 0, 10, kIconAlignNames},
    {"Appearance", "IconDX", "Integer", 0, kField, R(BevelIntSetter),
     Offset(offsetof(BevelButtonData, iconDX)), 0, 0, nullptr},
    {"Appearance", "IconDY", "Integer", 0, kField, R(BevelIntSetter),
     Offset(offsetof(BevelButtonData, iconDY)), 0, 0, nullptr},
    {"Appearance", "Bevel", "Integer", 1, kField, kField, Offset(offsetof(BevelButtonData, bevel)), 0, 3,
     kBevelNames},
    {"Appearance", "HasMenu", "Integer", 1, kField, kField, Offset(offsetof(BevelButtonData, hasMenu)), 0, 3,
     kHasMenuNames},
    {"Initial State", "Value", "Boolean", 0, kField, R(BevelValueSetter),
     Offset(offsetof(BevelButtonData, value)), 0, 0, nullptr},
    {"Initial State", "MenuValue", "Integer", 0, R(BevelMenuValueGetter), R(BevelMenuValueSetter),
     Offset(offsetof(BevelButtonData, menuValue)), 0, 0, nullptr},
    {"Behavior", "ButtonType", "integer", 1, kField, kField, Offset(offsetof(BevelButtonData, buttonType)), 0,
     3, kButtonTypeNames},
    {"Font", "TextFont", "string", 1, kField, kField, Offset(offsetof(BevelButtonData, textFont)), 0, 0,
     nullptr},
    {"Font", "TextSize", "integer", 1, kField, kField, Offset(offsetof(BevelButtonData, textSize)), 0, 0,
     nullptr},
    {"Font", "Bold", "boolean", 1, kField, kField, Offset(offsetof(BevelButtonData, bold)), 0, 0, nullptr},
    {"Font", "Italic", "boolean", 1, kField, kField, Offset(offsetof(BevelButtonData, italic)), 0, 0, nullptr},
    {"Font", "Underline", "boolean", 1, kField, kField, Offset(offsetof(BevelButtonData, underline)), 0, 0,
     nullptr},
};

const MethodDefinition kMethods[] = {
    {R(BevelDeleteAllRows), nullptr, "DeleteAllRows"},
    {R(BevelAddRow), nullptr, "AddRow(text As String)"},
    {R(BevelAddSeparator), nullptr, "AddSeparator"},
    {R(BevelRemoveRow), nullptr, "RemoveRow(row As Integer)"},
    {R(BevelInsertRow), nullptr, "InsertRow(row As Integer, text As String)"},
    {R(BevelList), R(BevelListAssign), "List(row As Integer) As String"},
    {R(BevelAddReceiver), nullptr, "addActionNotificationReceiver(receiver As actionNotificationReceiver)"},
    {R(BevelRemoveReceiver), nullptr, "removeActionNotificationReceiver(receiver As actionNotificationReceiver)"},
};

EventDefinition g_events[] = {{"Action", nullptr}};

// Slot 0: the runtime's defaults for caption and font, everything else zero.
void __cdecl Construct(PlugInstance instance) {
  BevelButtonData* d = BevelData(instance);
  *d = BevelButtonData{};
  d->caption = DefaultControlCaption();
  d->captionPlacement = 1;
  d->captionAlign = 3;
  d->textFont = DefaultControlFont();
  d->textSize = DefaultControlFontSize();
}

// Slot 1: releases every string, row, receiver and the icon the button holds.
void __cdecl Destroy(PlugInstance instance, uint32_t) {
  BevelButtonData* d = BevelData(instance);
  UnlockString(d->caption);
  UnlockString(d->textFont);
  d->caption = d->textFont = nullptr;
  FreeBevelLists(d);
  ReplacePicture(&d->icon, &d->iconDescription, nullptr);
}

// Slot 10: nothing to undo when the pane closes.
void __cdecl NoOp(PlugInstance) {}

// Slot 14: asks the runtime for a redraw.
void __cdecl Redraw(PlugInstance instance) { InvalidateControl(instance); }

// Slot 15: back to the runtime's default font and size.
void __cdecl ResetFont(PlugInstance instance) {
  BevelButtonData* d = BevelData(instance);
  UnlockString(d->textFont);
  d->textFont = DefaultControlFont();
  d->textSize = DefaultControlFontSize();
}

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t{};
  t.slot[kSlotConstruct] = R(Construct);
  t.slot[kSlotDestroy] = R(Destroy);
  t.slot[kSlotDraw] = R(DrawBevelButton);
  t.slot[kSlotMouseDown] = R(BevelMouseDown);
  t.slot[kSlotMouseDrag] = R(BevelMouseDrag);
  t.slot[kSlotMouseUp] = R(BevelMouseUp);
  t.slot[kSlotPaneClose] = R(NoOp);
  t.slot[kSlotDrawInto] = R(DrawBevelButton);
  t.slot[kSlotRedraw] = R(Redraw);
  t.slot[kSlotResetFont] = R(ResetFont);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "BevelButton", sizeof(BevelButtonData),
    kFlagOwnUpdateRect | kFlagDesignOnly, {0, 0}, 60, 22,
    kProperties, sizeof(kProperties) / sizeof(kProperties[0]),
    kMethods, sizeof(kMethods) / sizeof(kMethods[0]),
    g_events, 1, &kBehaviour, 0, nullptr, 0, "ActionSource", nullptr, 0};

}  // namespace

ControlDefinition* BevelButtonDefinition() { return &g_definition; }

BevelButtonData* BevelData(PlugInstance instance) { return DataOf<BevelButtonData>(instance, g_definition); }

const EventDefinition& BevelActionEvent() { return g_events[0]; }
