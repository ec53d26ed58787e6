// Pictures made from the 16-bit pixel descriptions the image carries.
#pragma once
#include <cstdint>

#include "sdk/ui_layouts.h"

// Fills `picture` from a stored description (bits per pixel, width, height,
// byte count, then the pixels): a 16-bit bitmap of the same pixels. False
// when the description is not a 16-bit one or its byte count is short.
bool BuildPictureSurface(PictureObject* picture, const uint32_t* description);

// Destructor of the Picture class: frees the bitmap.
void __cdecl PictureDestruct(ObjectRecord* picture, ClassRecord* cls);
