// Entry points of the plug-in interface: what plug-in libraries find through
// the lookup routine they are handed, to register their controls, classes
// and methods and to reach the runtime's services from their controls.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/plugin_records.h"

extern "C" {

// --- registration (only while the plug-in's ZORBPluginMain runs) -------------
void RegisterPluginVersion(int32_t version);
void RegisterPluginExports(const PluginExportEntry* table);
void PluginRegisterControl(void* definition);
void PluginRegisterClass(PluginClassDefinition* definition);
void PluginRegisterClassExtension(PluginClassDefinition* definition);
void PluginRegisterMethod(PluginMethodDefinition* definition);
void PluginMarkSocketUsage();

// --- defaults ------------------------------------------------------------------------
StringRecord* PluginDefaultControlFont();
StringRecord* PluginDefaultControlCaption();
int32_t PluginDefaultControlFontSize();
StringRecord* PluginInterpretConstantValue(StringRecord* value);

// --- default property setters that redraw the control --------------------------------
void stringInvalidateSetter(ObjectRecord* instance, uint32_t offset, StringRecord* value);
void boolInvalidateSetter(ObjectRecord* instance, uint32_t offset, bool value);
void objInvalidateSetter(ObjectRecord* instance, uint32_t offset, ObjectRecord* value);
void intInvalidateSetter(ObjectRecord* instance, uint32_t offset, int32_t value);

// --- controls ---------------------------------------------------------------------------
void* GetControlHWND(ObjectRecord* instance);
void GetControlBounds(ObjectRecord* instance, PluginRect* bounds);
bool GetControlVisible(ObjectRecord* instance);
void SetControlVisible(ObjectRecord* instance, bool visible);
void ZORBInvalidateControl(ObjectRecord* instance);
void ZORBInvalidateControlRect(ObjectRecord* instance, const PluginRect* rect);
void* ZORBGraphicsDC(ObjectRecord* graphics);
ObjectRecord* ZORBGetControlGraphics(ObjectRecord* instance);
int32_t ZORBGetWin32Charset();
CodeAddress GetEventInstance(ObjectRecord* instance, void* declaration);
CodeAddress GetInterfaceRoutine(ObjectRecord* object, const char* interfaceName,
                                const char* routineName);
void ZORBSetSpecialBackground(ObjectRecord* instance, uint32_t* colour);

// --- pictures -----------------------------------------------------------------------------
// Fills `description` from `picture` (all zero for nil or a non-picture);
// unlocking takes the same pair and clears the description.
void lockPictureDescription(ObjectRecord* picture, PluginPictureDescription* description);
void unlockPictureDescription(ObjectRecord* picture, PluginPictureDescription* description);
// Draws the described picture into `dc`, stretched to `rect` (left, top,
// right, bottom, as a Win32 RECT).
void drawPicturePrimitive(void* dc, const PluginPictureDescription* description,
                          const int32_t* rect);

}  // extern "C"
