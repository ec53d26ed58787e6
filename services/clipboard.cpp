// The system clipboard for compiled code. Opening it without an owner
// window and keeping it open for the object's life lets one object read and
// then write without another program slipping in between; while it is held,
// other programs wait, so application code closes it when done. A clipboard
// that another program holds makes every operation give its empty result.
#include "services/clipboard.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "services/pictures_layout.h"

namespace {

// The object as a Clipboard; null for nil and for an object of any other class.
ClipboardObject* AsClipboard(ObjectRecord* object) { return As<ClipboardObject>(object); }

// Opens the system clipboard for `object` unless it holds it already.
bool EnsureOpen(ObjectRecord* object) {
  ClipboardObject* c = AsClipboard(object);
  if (!c) return false;
  if (c->isOpen) return true;
  if (!OpenClipboard(nullptr)) return false;
  c->isOpen = 1;
  return true;
}

// Before the object's first setting, the clipboard's old contents go.
void EmptyOnFirstSetting(ClipboardObject* c) {
  if (c->emptied) return;
  EmptyClipboard();
  c->emptied = 1;
}

UINT NamedFormat(StringRecord* type) {
  std::string name(StringView(type));
  return name.empty() ? 0 : RegisterClipboardFormatA(name.c_str());
}

// The bytes of `format` up to their terminating zero (or the block's end).
StringRecord* ReadTerminated(UINT format) {
  HANDLE data = GetClipboardData(format);
  if (!data) return NewString("");
  const char* bytes = static_cast<const char*>(GlobalLock(data));
  if (!bytes) return NewString("");
  size_t size = GlobalSize(data);
  size_t length = strnlen(bytes, size);
  StringRecord* text = NewString(std::string_view(bytes, length));
  GlobalUnlock(data);
  return text;
}

// Puts `bytes` with a terminating zero on the clipboard under `format`.
void Put(ObjectRecord* object, UINT format, std::string_view bytes) {
  if (!format || !EnsureOpen(object)) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size() + 1);
  if (!block) return;
  char* target = static_cast<char*>(GlobalLock(block));
  if (!target) {
    GlobalFree(block);
    return;
  }
  memcpy(target, bytes.data(), bytes.size());
  target[bytes.size()] = 0;
  GlobalUnlock(block);
  EmptyOnFirstSetting(AsClipboard(object));
  // The system owns the block once it takes it.
  if (!SetClipboardData(format, block)) GlobalFree(block);
}

bool Available(ObjectRecord* object, UINT format) {
  return format && EnsureOpen(object) && IsClipboardFormatAvailable(format);
}

// A Picture holding a bitmap made from a packed device-independent bitmap.
ObjectRecord* PictureOfDib(const BITMAPINFO* info, size_t size) {
  // Another program wrote the block: its header, colour table and pixels
  // must all lie within what GlobalSize says it holds.
  DibLayout layout;
  if (!ReadDibLayout(reinterpret_cast<const uint8_t*>(info), size, layout)) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &h, CBM_INIT,
                                  reinterpret_cast<const uint8_t*>(info) + layout.pixelOffset, info,
                                  DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (!bitmap) return nullptr;
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("Picture"));
  auto* picture = reinterpret_cast<PictureObject*>(object);
  picture->bitmap = bitmap;
  picture->width = h.biWidth;
  picture->height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  return object;
}

}  // namespace

void __cdecl ClipboardConstruct(ObjectRecord* object, ClassRecord*) {
  reinterpret_cast<ClipboardObject*>(object)->isOpen = 0;
}

void __cdecl ClipboardDestruct(ObjectRecord* object, ClassRecord*) { clipboardClose(object); }

extern "C" {

StringRecord* clipboardTextGetter(ObjectRecord* clipboard) {
  if (!EnsureOpen(clipboard)) return NewString("");
  return ReadTerminated(CF_TEXT);
}

void clipboardSetText(ObjectRecord* clipboard, StringRecord* text) {
  Put(clipboard, CF_TEXT, StringView(text));
}

void clipboardTextSetter(ObjectRecord* clipboard, uint32_t, StringRecord* text) {
  clipboardSetText(clipboard, text);
}

bool clipboardTextAvailable(ObjectRecord* clipboard) { return Available(clipboard, CF_TEXT); }

bool clipboardPictureAvailable(ObjectRecord* clipboard) { return Available(clipboard, CF_DIB); }

bool clipboardMacDataAvailable(ObjectRecord* clipboard, StringRecord* type) {
  return Available(clipboard, NamedFormat(type));
}

StringRecord* clipboardMacData(ObjectRecord* clipboard, StringRecord* type) {
  UINT format = NamedFormat(type);
  if (!format || !EnsureOpen(clipboard)) return NewString("");
  return ReadTerminated(format);
}

void clipboardAddMacData(ObjectRecord* clipboard, StringRecord* type, StringRecord* data) {
  Put(clipboard, NamedFormat(type), StringView(data));
}

ObjectRecord* clipboardPictureGetter(ObjectRecord* clipboard) {
  if (!EnsureOpen(clipboard)) return nullptr;
  HANDLE data = GetClipboardData(CF_DIB);
  if (!data) return nullptr;
  const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(data));
  if (!info) return nullptr;
  ObjectRecord* picture = PictureOfDib(info, GlobalSize(data));
  GlobalUnlock(data);
  return picture;
}

void clipboardPictureSetter(ObjectRecord*, uint32_t, ObjectRecord*) {}

void clipboardClose(ObjectRecord* clipboard) {
  ClipboardObject* c = AsClipboard(clipboard);
  if (!c || !c->isOpen) return;
  CloseClipboard();
  c->isOpen = 0;
}

}  // extern "C"

const PropertyEntry kClipboardProperties[] = {
    {"Behavior", "Text", "String", reinterpret_cast<CodeAddress>(clipboardTextGetter),
     reinterpret_cast<CodeAddress>(clipboardTextSetter), 0},
};
const uint32_t kClipboardPropertyCount = 1;
