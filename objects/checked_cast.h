// Checked casts for the entry points. Compiled code hands the runtime bare
// object pointers, and an entry point reads each as the layout of one
// built-in class. An image that is damaged or hostile can hand over nil or an
// object of another class; read as the wrong layout, that object is read and
// written past its end. So an entry point casts only through As<Layout>,
// which answers null unless the object's class is the layout's class or
// derives from it, and then does what it does for nil.
//
// The check must cost next to nothing: the event loop and drawing pass
// through these casts all the time. The class is looked up by name once and
// kept (built-in class records live as long as the process), so each check
// is a short walk up the object's class chain comparing pointers.
#pragma once
#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "sdk/class_records.h"
#include "sdk/service_layouts.h"
#include "sdk/ui_layouts.h"

// A built-in class by name, found at its first use.
class BuiltInClassRef {
 public:
  explicit constexpr BuiltInClassRef(const char* name) : name_(name) {}

  // The class record; null when no built-in class has the name.
  const ClassRecord* Get() const {
    if (!cls_) cls_ = FindBuiltInClass(name_);
    return cls_;
  }

  // True when `cls` is this class or derives from it (false for null).
  bool Includes(const ClassRecord* cls) const { return ClassIsa(cls, Get()); }

  // True when `object` is not nil and its class is this class or derives from it.
  bool Holds(const ObjectRecord* object) const { return object && Includes(object->cls); }

 private:
  const char* name_;
  mutable const ClassRecord* cls_ = nullptr;
};

// The built-in class whose instances have the fields of `Layout`: one line
// per layout of sdk/, so that no cast can name the wrong class.
template <typename Layout>
struct LayoutClass;
#define VS_LAYOUT_CLASS(Layout, className)            \
  template <>                                         \
  struct LayoutClass<Layout> {                        \
    static constexpr const char* kName = className;   \
  }
VS_LAYOUT_CLASS(WindowObject, "Window");
VS_LAYOUT_CLASS(ControlObject, "Control");
VS_LAYOUT_CLASS(RectControlObject, "RectControl");
VS_LAYOUT_CLASS(TimerObject, "Timer");
VS_LAYOUT_CLASS(EditFieldObject, "EditField");
VS_LAYOUT_CLASS(StaticTextObject, "StaticText");
VS_LAYOUT_CLASS(PushButtonObject, "PushButton");
VS_LAYOUT_CLASS(CheckBoxObject, "CheckBox");
VS_LAYOUT_CLASS(PopupMenuObject, "PopupMenu");
VS_LAYOUT_CLASS(GroupBoxObject, "GroupBox");
VS_LAYOUT_CLASS(TabPanelObject, "TabPanel");
VS_LAYOUT_CLASS(ProgressBarObject, "ProgressBar");
VS_LAYOUT_CLASS(PictureObject, "Picture");
VS_LAYOUT_CLASS(GraphicsObject, "Graphics");
VS_LAYOUT_CLASS(MenuItemObject, "MenuItem");
VS_LAYOUT_CLASS(ClipboardObject, "Clipboard");
VS_LAYOUT_CLASS(TextEncodingObject, "TextEncoding");
VS_LAYOUT_CLASS(TextConverterObject, "TextConverter");
VS_LAYOUT_CLASS(DateObject, "Date");
VS_LAYOUT_CLASS(SerialObject, "Serial");
VS_LAYOUT_CLASS(SerialPortObject, "SerialPort");
VS_LAYOUT_CLASS(FolderItemObject, "FolderItem");
VS_LAYOUT_CLASS(TextInputStreamObject, "TextInputStream");
VS_LAYOUT_CLASS(TextOutputStreamObject, "TextOutputStream");
#undef VS_LAYOUT_CLASS

// The class of `Layout`, looked up at its first check.
template <typename Layout>
inline const BuiltInClassRef kClassOf{LayoutClass<Layout>::kName};

// `object` as `Layout`, or null when it is nil or of a class without that layout.
template <typename Layout>
Layout* As(ObjectRecord* object) {
  return kClassOf<Layout>.Holds(object) ? reinterpret_cast<Layout*>(object) : nullptr;
}
