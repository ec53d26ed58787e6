// Pictures; see pictures.h. The stored pixels are 5-5-5 RGB words, which is
// exactly a 16-bit device-independent bitmap's format, so the rows are copied
// as they are into a top-down DIB section (rows padded to 4 bytes).
#include "ui/drawing/pictures.h"

#include <windows.h>

#include <cstring>

#include "services/pictures_layout.h"

bool BuildPictureSurface(PictureObject* picture, const uint32_t* description) {
  uint32_t header[4];
  memcpy(header, description, sizeof header);  // not aligned in a damaged image
  if (!StoredPictureFits(header)) return false;
  uint32_t width = header[1], height = header[2];
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap) return false;
  uint32_t stride = (width * 2 + 3) & ~3u;
  auto* from = reinterpret_cast<const uint8_t*>(description + 4);
  for (uint32_t row = 0; row < height; ++row)
    memcpy(static_cast<uint8_t*>(pixels) + row * stride, from + row * width * 2, width * 2);
  picture->bitmap = bitmap;
  picture->width = static_cast<int32_t>(width);
  picture->height = static_cast<int32_t>(height);
  return true;
}

void __cdecl PictureDestruct(ObjectRecord* object, ClassRecord*) {
  auto* picture = reinterpret_cast<PictureObject*>(object);
  if (picture->bitmap) DeleteObject(static_cast<HBITMAP>(picture->bitmap));
  picture->bitmap = nullptr;
}
