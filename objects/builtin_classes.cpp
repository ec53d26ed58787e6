// The built-in class registry; see builtin_classes.h. Every class of the
// layout table gets a record, so that image classes deriving from one link
// from the start; the classes with behaviour of their own add it here.
#include "objects/builtin_classes.h"

#include <windows.h>

#include "objects/classes.h"
#include "objects/name_map.h"
#include "objects/objects.h"
#include "services/clipboard.h"
#include "services/dates.h"
#include "services/folder_items.h"
#include "services/text_streams.h"
#include "services/serial_port.h"
#include "services/text_encodings.h"
#include "ui/control_kinds.h"
#include "ui/controls.h"
#include "ui/graphics.h"
#include "ui/menu_items.h"
#include "ui/native_window.h"
#include "ui/pictures.h"
#include "ui/timers.h"

namespace {

NameMap gBuiltInClassNames;
bool gRegistered = false;

void __cdecl SemaphoreConstruct(ObjectRecord* object, ClassRecord*) {
  FieldAt<HANDLE>(object, 24) = CreateSemaphoreA(nullptr, 1, 0x7FFFFFFF, nullptr);
}
void __cdecl SemaphoreDestruct(ObjectRecord* object, ClassRecord*) {
  HANDLE& h = FieldAt<HANDLE>(object, 24);
  if (h) CloseHandle(h);
  h = nullptr;
}
void __cdecl CriticalSectionConstruct(ObjectRecord* object, ClassRecord*) {
  InitializeCriticalSection(&FieldAt<CRITICAL_SECTION>(object, 24));
}
void __cdecl CriticalSectionDestruct(ObjectRecord* object, ClassRecord*) {
  DeleteCriticalSection(&FieldAt<CRITICAL_SECTION>(object, 24));
}

}  // namespace

EventEntry gApplicationEvents[kApplicationEventCount] = {
    {0, "Open", "", "", 0, nullptr},
    {0, "Close", "", "", 0, nullptr},
    {0, "EnableMenuItems", "", "", 0, nullptr},
    {0, "NewDocument", "", "", 0, nullptr},
    {0, "OpenDocument", "item As FolderItem", "", 0, nullptr},
    {0, "HandleAppleEvent", "event As AppleEvent, eventClass As String, eventID As String",
     "Boolean", 0, nullptr},
    {0, "Activate", "", "", 0, nullptr},
    {0, "Deactivate", "", "", 0, nullptr},
};
EventEntry gThreadEvents[1] = {{0, "Run", "", "", 0, nullptr}};

EventEntry gWindowEvents[kWindowEventCount] = {
    {0, "Open", "", "", 0, nullptr},
    {0, "Close", "", "", 0, nullptr},
    {0, "CancelClose", "", "Boolean", 0, nullptr},
    {0, "Activate", "", "", 0, nullptr},
    {0, "Deactivate", "", "", 0, nullptr},
    {0, "Paint", "g As Graphics", "", 0, nullptr},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", 0, nullptr},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseUp", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseMove", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseEnter", "", "", 0, nullptr},
    {0, "MouseExit", "", "", 0, nullptr},
    {0, "KeyDown", "Key As String", "Boolean", 0, nullptr},
    {0, "Resized", "", "", 0, nullptr},
    {0, "Moved", "", "", 0, nullptr},
    {0, "EnableMenuItems", "", "", 0, nullptr},
    {0, "DropObject", "obj As DragItem", "", 0, nullptr},
    // The user is logging off or the system shutting down: the last moment
    // to keep what must not be lost, since the process may end without
    // any window being closed. Raised while Windows asks whether the
    // session may end (Asking; true keeps it), then when it does end.
    {0, "EndSession", "Asking As Boolean", "Boolean", 0, nullptr},
};

EventEntry gControlEvents[kControlEventCount] = {
    {0, "CreatePane", "", "", 0, nullptr},
    {0, "Open", "", "", 0, nullptr},
    {0, "Close", "", "", 0, nullptr},
};

EventEntry gRectControlEvents[kRectControlEventCount] = {
    {0, "GotFocus", "", "", 0, nullptr},
    {0, "LostFocus", "", "", 0, nullptr},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", 0, nullptr},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseUp", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseMove", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseEnter", "", "", 0, nullptr},
    {0, "MouseExit", "", "", 0, nullptr},
    {0, "DropObject", "obj As DragItem", "", 0, nullptr},
};

EventEntry gTimerEvents[kTimerEventCount] = {{0, "Action", "", "", 0, nullptr}};

namespace {

// What the runtime adds to a built-in class beyond its layout.
const BuiltInBehaviour kBehaviours[] = {
    {"Application", nullptr, nullptr, gApplicationEvents, kApplicationEventCount, nullptr, 0,
     nullptr, 0, nullptr, 0},
    {"Thread", nullptr, nullptr, gThreadEvents, 1, nullptr, 0, nullptr, 0, nullptr, 0},
    {"Semaphore", SemaphoreConstruct, SemaphoreDestruct, nullptr, 0, nullptr, 0, nullptr, 0,
     nullptr, 0},
    {"Clipboard", ClipboardConstruct, ClipboardDestruct, nullptr, 0, kClipboardProperties,
     kClipboardPropertyCount, nullptr, 0, nullptr, 0},
    {"TextEncoding", nullptr, nullptr, nullptr, 0, kTextEncodingProperties,
     kTextEncodingPropertyCount, nullptr, 0, nullptr, 0},
    {"Date", nullptr, nullptr, nullptr, 0, kDateProperties, kDatePropertyCount, nullptr, 0, nullptr, 0},
    {"FolderItem", nullptr, FolderItemDestruct, nullptr, 0, kFolderItemProperties,
     kFolderItemPropertyCount, nullptr, 0, nullptr, 0},
    {"TextInputStream", nullptr, TextInputStreamDestruct, nullptr, 0, kTextInputStreamProperties,
     kTextInputStreamPropertyCount, nullptr, 0, nullptr, 0},
    {"TextOutputStream", nullptr, TextOutputStreamDestruct, nullptr, 0,
     kTextOutputStreamProperties, kTextOutputStreamPropertyCount, nullptr, 0, nullptr, 0},
    {"Serial", SerialConstruct, SerialDestruct, gSerialEvents, 1, kSerialProperties,
     kSerialPropertyCount, nullptr, 0, nullptr, 0},
    {"SerialPort", nullptr, SerialPortDestruct, nullptr, 0, kSerialPortProperties,
     kSerialPortPropertyCount, nullptr, 0, nullptr, 0},
    {"CriticalSection", CriticalSectionConstruct, CriticalSectionDestruct, nullptr, 0, nullptr, 0,
     nullptr, 0, nullptr, 0},
    {"Window", nullptr, WindowDestruct, gWindowEvents, kWindowEventCount, kWindowProperties,
     kWindowPropertyCount, nullptr, 0, nullptr, 0},
    {"Control", nullptr, ControlDestruct, gControlEvents, kControlEventCount, kControlProperties,
     kControlPropertyCount, nullptr, 0, nullptr, 0},
    {"RectControl", nullptr, RectControlDestruct, gRectControlEvents, kRectControlEventCount,
     kRectControlProperties, kRectControlPropertyCount, nullptr, 0, nullptr, 0},
    {"Picture", nullptr, PictureDestruct, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0},
    {"Graphics", GraphicsConstruct, GraphicsDestruct, nullptr, 0, kGraphicsProperties,
     kGraphicsPropertyCount, nullptr, 0, nullptr, 0},
    {"MenuItem", nullptr, MenuItemDestruct, gMenuItemEvents, kMenuItemEventCount,
     kMenuItemProperties, kMenuItemPropertyCount, nullptr, 0, nullptr, 0},
    {"Timer", TimerConstruct, TimerDestruct, gTimerEvents, kTimerEventCount, kTimerProperties,
     kTimerPropertyCount, nullptr, 0, nullptr, 0},
};

// The control kinds describe themselves (ui/control_kinds.cpp).
const BuiltInBehaviour* BehaviourOf(const char* name) {
  for (const BuiltInBehaviour& b : kBehaviours)
    if (std::string_view(b.name) == name) return &b;
  for (uint32_t i = 0; i < kControlKindBehaviourCount; ++i)
    if (std::string_view(kControlKindBehaviours[i].name) == name) return &kControlKindBehaviours[i];
  return nullptr;
}

ClassRecord* Build(const BuiltInClassLayout& layout) {
  ClassRecord* cls = NewClassRecord(layout.name);
  cls->builtIn = 1;
  cls->isInterface = layout.isInterface;
  cls->instanceSize = layout.instanceSize;
  cls->superclass = layout.superclass ? FindBuiltInClass(layout.superclass) : nullptr;
  const BuiltInBehaviour* b = BehaviourOf(layout.name);
  if (!b) return cls;
  cls->constructor = reinterpret_cast<CodeAddress>(b->constructor);
  cls->destructor = reinterpret_cast<CodeAddress>(b->destructor);
  for (uint32_t i = 0; i < b->eventCount; ++i) DeclareEvent(cls, b->events[i]);
  for (uint32_t i = 0; i < b->propertyCount; ++i) AddProperty(cls, b->properties[i]);
  for (uint32_t i = 0; i < b->methodCount; ++i) AddBuiltInMethod(cls, b->methods[i]);
  for (uint32_t i = 0; i < b->handlerCount; ++i)
    AddEventHandler(cls, b->handlers[i].event, b->handlers[i].code, 0);
  return cls;
}

}  // namespace

void RegisterBuiltInClasses() {
  if (gRegistered) return;
  gRegistered = true;
  for (const BuiltInClassLayout& layout : kBuiltInClassLayouts)
    gBuiltInClassNames.Insert(layout.name, reinterpret_cast<uint32_t>(Build(layout)));
}

ClassRecord* FindBuiltInClass(std::string_view name) {
  RegisterBuiltInClasses();
  return reinterpret_cast<ClassRecord*>(gBuiltInClassNames.Find(name));
}
