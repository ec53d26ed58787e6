// The Clipboard class's life: an object holds the system clipboard open
// from its first use until it is closed or released.
#pragma once
#include "sdk/class_records.h"

void __cdecl ClipboardConstruct(ObjectRecord* clipboard, ClassRecord* cls);
void __cdecl ClipboardDestruct(ObjectRecord* clipboard, ClassRecord* cls);

extern const PropertyEntry kClipboardProperties[];
extern const uint32_t kClipboardPropertyCount;
