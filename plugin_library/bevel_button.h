// What the BevelButton's files share: its definition, its data and the
// redraw that follows every change of its state.
#pragma once
#include "plugin_library/control_data.h"

ControlDefinition* BevelButtonDefinition();
BevelButtonData* BevelData(PlugInstance instance);
const EventDefinition& BevelActionEvent();

// Draws the button into `graphics`, or into a graphics object obtained for
// the control when null.
void __cdecl DrawBevelButton(PlugInstance instance, PlugObject graphics);
void RedrawBevelButton(PlugInstance instance);

// Mouse slots.
int __cdecl BevelMouseDown(PlugInstance instance, int x, int y, int modifiers);
void __cdecl BevelMouseDrag(PlugInstance instance, int x, int y);
void __cdecl BevelMouseUp(PlugInstance instance, int x, int y);

// Property routines (instance, parameter[, value]).
PlugString __cdecl BevelCaptionGetter(PlugInstance instance, uint32_t parameter);
void __cdecl BevelCaptionSetter(PlugInstance instance, uint32_t parameter, PlugString value);
void __cdecl BevelIntSetter(PlugInstance instance, uint32_t parameter, int32_t value);
void __cdecl BevelIconSetter(PlugInstance instance, uint32_t parameter, PlugObject picture);
void __cdecl BevelValueSetter(PlugInstance instance, uint32_t parameter, int value);
int __cdecl BevelMenuValueGetter(PlugInstance instance, uint32_t parameter);
void __cdecl BevelMenuValueSetter(PlugInstance instance, uint32_t parameter, int32_t value);

// Methods on the menu rows and the action receivers.
void __cdecl BevelDeleteAllRows(PlugInstance instance);
void __cdecl BevelAddRow(PlugInstance instance, PlugString text);
void __cdecl BevelAddSeparator(PlugInstance instance);
void __cdecl BevelRemoveRow(PlugInstance instance, int row);
void __cdecl BevelInsertRow(PlugInstance instance, int row, PlugString text);
PlugString __cdecl BevelList(PlugInstance instance, int row);
void __cdecl BevelListAssign(PlugInstance instance, int row, PlugString text);
void __cdecl BevelAddReceiver(PlugInstance instance, PlugObject receiver);
void __cdecl BevelRemoveReceiver(PlugInstance instance, PlugObject receiver);
// Frees every row and receiver (destruction).
void FreeBevelLists(BevelButtonData* data);
