// PrefContainer: the application's settings store, an ordered list of named
// text values that reads and writes the preference file. Shared by the
// application and its test image; the operations are the class's methods.
#pragma once
#include "sdk/vellory.h"

extern "C" {

void __cdecl PrefContainer_Construct(ObjectRecord* self);
void __cdecl PrefContainer_Destruct(ObjectRecord* self);

void PrefContainer_Init(ObjectRecord* self, StringRecord* fileName);
void PrefContainer_SetPrefFileName(ObjectRecord* self, StringRecord* name);
StringRecord* PrefContainer_GetPrefFileName(ObjectRecord* self);
ObjectRecord* PrefContainer_PrefLocation(ObjectRecord* self);
// Adds the file's entries. False when the file is there but cannot be
// opened or read to its end (RuntimeFileBusy tells whether another program
// holds it): the caller must not take that for a first start, nor the
// entries read for the file's.
bool PrefContainer_Read(ObjectRecord* self);
// Replaces the file with the entries in one step. False when it could not
// (the old file is then as it was and RuntimeFileErrorText says why).
bool PrefContainer_Write(ObjectRecord* self);

StringRecord* PrefContainer_Get(ObjectRecord* self, StringRecord* name);
void PrefContainer_Put(ObjectRecord* self, StringRecord* name, StringRecord* value);
int32_t PrefContainer_FindPrefIndex(ObjectRecord* self, StringRecord* name);
bool PrefContainer_Exists(ObjectRecord* self, StringRecord* name);
void PrefContainer_Clear(ObjectRecord* self);
void PrefContainer_Delete(ObjectRecord* self, StringRecord* name);
void PrefContainer_DeleteNth(ObjectRecord* self, int32_t index);
int32_t PrefContainer_NumPrefs(ObjectRecord* self);
StringRecord* PrefContainer_GetNthName(ObjectRecord* self, int32_t index);
StringRecord* PrefContainer_GetNthValue(ObjectRecord* self, int32_t index);
void PrefContainer_SetNthValue(ObjectRecord* self, int32_t index, StringRecord* value);
void PrefContainer_AppendValue(ObjectRecord* self, StringRecord* name, StringRecord* value);

void PrefContainer_PutBoolean(ObjectRecord* self, StringRecord* name, bool value);
void PrefContainer_PutInteger(ObjectRecord* self, StringRecord* name, int32_t value);
void PrefContainer_PutDouble(ObjectRecord* self, StringRecord* name, double value);
void PrefContainer_PutString(ObjectRecord* self, StringRecord* name, StringRecord* value);
void PrefContainer_PutColor(ObjectRecord* self, StringRecord* name, int32_t color);
void PrefContainer_PutDate(ObjectRecord* self, StringRecord* name, ObjectRecord* date);
void PrefContainer_PutFolderItem(ObjectRecord* self, StringRecord* name, ObjectRecord* item);
bool PrefContainer_GetBoolean(ObjectRecord* self, StringRecord* name);
int32_t PrefContainer_GetInteger(ObjectRecord* self, StringRecord* name);
double PrefContainer_GetDouble(ObjectRecord* self, StringRecord* name);
StringRecord* PrefContainer_GetString(ObjectRecord* self, StringRecord* name);
int32_t PrefContainer_GetColor(ObjectRecord* self, StringRecord* name);
ObjectRecord* PrefContainer_GetDate(ObjectRecord* self, StringRecord* name);
ObjectRecord* PrefContainer_GetFolderItem(ObjectRecord* self, StringRecord* name);

StringRecord* PrefContainer_EncodePreference(ObjectRecord* self, int32_t index);
void PrefContainer_DecodePreference(ObjectRecord* self, StringRecord* line);
StringRecord* PrefContainer_EncodeString(ObjectRecord* self, StringRecord* text);
StringRecord* PrefContainer_DecodeString(ObjectRecord* self, StringRecord* text);
StringRecord* PrefContainer_EncodedChar(ObjectRecord* self, StringRecord* character);
StringRecord* PrefContainer_DecodedChar(ObjectRecord* self, StringRecord* code);

}  // extern "C"
