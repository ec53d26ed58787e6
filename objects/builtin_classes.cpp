// The built-in class table; see builtin_classes.h. Classes whose behaviour
// arrives with their subsystem are listed with their names and sizes now, so
// that image classes deriving from them link from the start.
#include "objects/builtin_classes.h"

#include <windows.h>

#include "objects/classes.h"
#include "objects/name_map.h"
#include "objects/objects.h"

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
void __cdecl ClipboardConstruct(ObjectRecord* object, ClassRecord*) {
  FieldAt<uint8_t>(object, 24) = 0;
}
void __cdecl ClipboardDestruct(ObjectRecord* object, ClassRecord*) {
  uint8_t& open = FieldAt<uint8_t>(object, 24);
  if (open) CloseClipboard();
  open = 0;
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

namespace {

#define PLAIN(name, super, size) {name, super, size, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr, 0, false}
#define HOOKED(name, size, ctor, dtor) {name, nullptr, size, ctor, dtor, nullptr, 0, nullptr, 0, nullptr, 0, false}
#define IFACE(name) {name, nullptr, 24, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr, 0, true}

const BuiltInClass kBuiltInClasses[] = {
    PLAIN("Object", nullptr, 24),
    {"Application", "Object", 28, nullptr, nullptr, gApplicationEvents, kApplicationEventCount,
     nullptr, 0, nullptr, 0, false},
    PLAIN("SystemClass", nullptr, 24),
    PLAIN("Sys$Keyboard", nullptr, 24),
    PLAIN("MenuItem", "Object", 72),
    PLAIN("QuitMenuItem", "MenuItem", 72),
    PLAIN("FolderItem", nullptr, 32),
    PLAIN("TextInputStream", nullptr, 1060),
    PLAIN("TextOutputStream", nullptr, 32),
    PLAIN("BinaryStream", nullptr, 32),
    PLAIN("Date", nullptr, 36),
    PLAIN("RuntimeException", nullptr, 24),
    PLAIN("NilObjectException", "RuntimeException", 24),
    PLAIN("IllegalCastException", "RuntimeException", 24),
    PLAIN("stackOverflowException", "RuntimeException", 24),
    PLAIN("typeMismatchException", "RuntimeException", 24),
    PLAIN("OutOfBoundsException", "RuntimeException", 24),
    PLAIN("EndException", "RuntimeException", 24),
    HOOKED("Clipboard", 32, ClipboardConstruct, ClipboardDestruct),
    PLAIN("Screen", nullptr, 44),
    PLAIN("DragItem", nullptr, 36),
    {"Thread", nullptr, 28, nullptr, nullptr, gThreadEvents, 1, nullptr, 0, nullptr, 0, false},
    HOOKED("Semaphore", 28, SemaphoreConstruct, SemaphoreDestruct),
    HOOKED("CriticalSection", 48, CriticalSectionConstruct, CriticalSectionDestruct),
    PLAIN("MemoryBlock", nullptr, 36),
    PLAIN("Collection", nullptr, 28),
    PLAIN("CollectionElement", nullptr, 24),
    PLAIN("Variant", nullptr, 40),
    PLAIN("TextEncoding", nullptr, 44),
    PLAIN("TextConverter", nullptr, 36),
    PLAIN("ObjectCursor", nullptr, 32),
    PLAIN("Serial", nullptr, 64),
    PLAIN("SerialPort", nullptr, 44),
    PLAIN("Window", "Object", 24),
    PLAIN("Dialog", "Window", 24),
    PLAIN("Control", "Object", 24),
    PLAIN("RectControl", "Control", 24),
    PLAIN("StaticText", "RectControl", 24),
    PLAIN("GroupBox", "RectControl", 24),
    PLAIN("TabPanel", "RectControl", 24),
    PLAIN("ProgressBar", "RectControl", 24),
    PLAIN("Timer", "Control", 24),
    PLAIN("Slider", "RectControl", 24),
    PLAIN("ScrollBar", "RectControl", 24),
    PLAIN("Canvas", "RectControl", 24),
    PLAIN("Graphics", nullptr, 24),
    PLAIN("Picture", nullptr, 24),
    PLAIN("Line", "RectControl", 24),
    PLAIN("Oval", "RectControl", 24),
    PLAIN("Rectangle", "RectControl", 24),
    PLAIN("RoundRectangle", "RectControl", 24),
    PLAIN("ContextualMenu", "Control", 24),
    PLAIN("MouseCursor", nullptr, 24),
    PLAIN("Socket", "Control", 24),
    PLAIN("Sound", nullptr, 24),
    PLAIN("NotePlayer", "Control", 24),
    PLAIN("Movie", nullptr, 24),
    PLAIN("Sprite", nullptr, 24),
    PLAIN("SpriteSurface", "RectControl", 24),
    PLAIN("RGBSurface", nullptr, 24),
    PLAIN("PrinterSetup", nullptr, 24),
    PLAIN("Applet", "Application", 28),
    PLAIN("Database", nullptr, 24),
    PLAIN("DatabaseCursor", nullptr, 24),
    PLAIN("DatabaseCursorField", nullptr, 24),
    PLAIN("DatabaseRecord", nullptr, 24),
    PLAIN("ScrollableCursor", nullptr, 24),
    IFACE("actionSource"),
    IFACE("actionBinder"),
    IFACE("actionNotificationReceiver"),
    IFACE("BooleanProvider"),
    IFACE("StringProvider"),
    IFACE("StringInterface"),
    IFACE("ListInterface"),
    IFACE("DataAvailableProvider"),
    IFACE("dataNotifier"),
    IFACE("listDataNotifier"),
    IFACE("listDataProvider"),
    IFACE("listDataNotificationReceiver"),
    IFACE("listSelectionNotifier"),
    IFACE("listSelectionNotificationReceiver"),
    IFACE("listBinder"),
    IFACE("tupleInterface"),
    IFACE("bindingPartInterface"),
};

#undef PLAIN
#undef HOOKED
#undef IFACE

ClassRecord* Build(const BuiltInClass& spec) {
  ClassRecord* cls = NewClassRecord(spec.name);
  cls->builtIn = 1;
  cls->isInterface = spec.isInterface;
  cls->instanceSize = spec.instanceSize;
  cls->superclass = spec.superclass ? FindBuiltInClass(spec.superclass) : nullptr;
  cls->constructor = reinterpret_cast<CodeAddress>(spec.constructor);
  cls->destructor = reinterpret_cast<CodeAddress>(spec.destructor);
  for (uint32_t i = 0; i < spec.eventCount; ++i) DeclareEvent(cls, spec.events[i]);
  for (uint32_t i = 0; i < spec.propertyCount; ++i) AddProperty(cls, spec.properties[i]);
  for (uint32_t i = 0; i < spec.methodCount; ++i) AddBuiltInMethod(cls, spec.methods[i]);
  return cls;
}

}  // namespace

void RegisterBuiltInClasses() {
  if (gRegistered) return;
  gRegistered = true;
  for (const BuiltInClass& spec : kBuiltInClasses)
    gBuiltInClassNames.Insert(spec.name, reinterpret_cast<uint32_t>(Build(spec)));
}

ClassRecord* FindBuiltInClass(std::string_view name) {
  RegisterBuiltInClasses();
  return reinterpret_cast<ClassRecord*>(gBuiltInClassNames.Find(name));
}
