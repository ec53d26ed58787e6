// The picture services of plug-ins: a description of a picture's bitmap
// and size, and drawing it into a device context. The description borrows
// the picture; the plug-in keeps the picture alive with its own reference.
#include <windows.h>

#include "objects/checked_cast.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"

namespace {

// The object as a Picture; null for nil and for an object of any other class.
PictureObject* AsPicture(ObjectRecord* object) { return As<PictureObject>(object); }

}  // namespace

extern "C" {

void lockPictureDescription(ObjectRecord* object, PluginPictureDescription* description) {
  if (!description) return;
  *description = PluginPictureDescription{};
  PictureObject* picture = AsPicture(object);
  if (!picture) return;
  *description = PluginPictureDescription{picture, picture->bitmap, picture->width, picture->height};
}

void unlockPictureDescription(ObjectRecord*, PluginPictureDescription* description) {
  if (description) *description = PluginPictureDescription{};
}

void drawPicturePrimitive(void* dc, const PluginPictureDescription* description,
                          const int32_t* rect) {
  if (!dc || !description || !description->bitmap || !rect) return;
  HDC target = static_cast<HDC>(dc);
  HDC source = CreateCompatibleDC(target);
  if (!source) return;
  HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(description->bitmap));
  int oldMode = SetStretchBltMode(target, COLORONCOLOR);
  StretchBlt(target, rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1], source, 0, 0,
             description->width, description->height, SRCCOPY);
  SetStretchBltMode(target, oldMode);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // extern "C"
