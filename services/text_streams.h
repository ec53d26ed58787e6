// TextInputStream and TextOutputStream: text files opened by FolderItem
// methods, closed by their Close method or when released.
#pragma once
#include "sdk/class_records.h"

void __cdecl TextInputStreamDestruct(ObjectRecord* stream, ClassRecord* cls);
void __cdecl TextOutputStreamDestruct(ObjectRecord* stream, ClassRecord* cls);

extern const PropertyEntry kTextInputStreamProperties[];
extern const uint32_t kTextInputStreamPropertyCount;
extern const PropertyEntry kTextOutputStreamProperties[];
extern const uint32_t kTextOutputStreamPropertyCount;
