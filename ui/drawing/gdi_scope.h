// Scoped GDI state for drawing code: whatever a drawing operation selects
// into a device context is put back when the operation ends, on every path,
// and the pens and brushes it made for itself are deleted then.
#pragma once
#include <windows.h>

// Selects `object` into `dc` for the lifetime of the scope. With `owned`,
// the object was made for this scope and is deleted after being deselected.
// A null object or DC selects nothing (an owned object is still deleted).
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object, bool owned)
      : dc_(dc), object_(object), owned_(owned),
        previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
    if (owned_ && object_) DeleteObject(object_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  bool owned_;
  HGDIOBJ previous_;
};

// Text colour and background mode for drawing text, restored afterwards.
class TextInk {
 public:
  TextInk(HDC dc, COLORREF colour)
      : dc_(dc), colour_(SetTextColor(dc, colour)), mode_(SetBkMode(dc, TRANSPARENT)) {}
  ~TextInk() {
    SetTextColor(dc_, colour_);
    SetBkMode(dc_, mode_);
  }
  TextInk(const TextInk&) = delete;
  TextInk& operator=(const TextInk&) = delete;

 private:
  HDC dc_;
  COLORREF colour_;
  int mode_;
};
