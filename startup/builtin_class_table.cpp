// The built-in classes' behaviour, gathered where the runtime is wired
// together: each layer defines what its classes add to their layout (the
// services' property tables, the user-interface classes' events and
// properties, the control kinds' own descriptions), and this table hands
// them to the class registry in objects/, which may not see those layers.
#include "startup/builtin_class_table.h"

#include <windows.h>

#include <string_view>

#include "objects/objects.h"
#include "services/clipboard.h"
#include "services/dates.h"
#include "services/folder_items.h"
#include "services/serial_port.h"
#include "services/text_encodings.h"
#include "services/text_streams.h"
#include "ui/class_events.h"
#include "ui/controls.h"
#include "ui/drawing/graphics.h"
#include "ui/kinds/control_kinds.h"
#include "ui/menu_items.h"
#include "ui/native_window.h"
#include "ui/drawing/pictures.h"
#include "ui/timers.h"

namespace {

EventEntry gThreadEvents[1] = {{0, "Run", "", "", 0, nullptr}};

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

// What the runtime adds to a built-in class beyond its layout.
const BuiltInBehaviour kBehaviours[] = {
    {.name = "Application", .events = gApplicationEvents, .eventCount = kApplicationEventCount},
    {.name = "Thread", .events = gThreadEvents, .eventCount = 1},
    {.name = "Semaphore", .constructor = SemaphoreConstruct, .destructor = SemaphoreDestruct},
    {.name = "Clipboard",
     .constructor = ClipboardConstruct, .destructor = ClipboardDestruct,
     .properties = kClipboardProperties, .propertyCount = kClipboardPropertyCount},
    {.name = "TextEncoding",
     .properties = kTextEncodingProperties, .propertyCount = kTextEncodingPropertyCount},
    {.name = "Date", .properties = kDateProperties, .propertyCount = kDatePropertyCount},
    {.name = "FolderItem",
     .destructor = FolderItemDestruct, .properties = kFolderItemProperties,
     .propertyCount = kFolderItemPropertyCount},
    {.name = "TextInputStream",
     .destructor = TextInputStreamDestruct, .properties = kTextInputStreamProperties,
     .propertyCount = kTextInputStreamPropertyCount},
    {.name = "TextOutputStream",
     .destructor = TextOutputStreamDestruct, .properties = kTextOutputStreamProperties,
     .propertyCount = kTextOutputStreamPropertyCount},
    {.name = "Serial",
     .constructor = SerialConstruct, .destructor = SerialDestruct, .events = gSerialEvents,
     .eventCount = 1, .properties = kSerialProperties, .propertyCount = kSerialPropertyCount},
    {.name = "SerialPort",
     .destructor = SerialPortDestruct, .properties = kSerialPortProperties,
     .propertyCount = kSerialPortPropertyCount},
    {.name = "CriticalSection",
     .constructor = CriticalSectionConstruct, .destructor = CriticalSectionDestruct},
    {.name = "Window",
     .destructor = WindowDestruct, .events = gWindowEvents, .eventCount = kWindowEventCount,
     .properties = kWindowProperties, .propertyCount = kWindowPropertyCount},
    {.name = "Control",
     .destructor = ControlDestruct, .events = gControlEvents, .eventCount = kControlEventCount,
     .properties = kControlProperties, .propertyCount = kControlPropertyCount},
    {.name = "RectControl",
     .destructor = RectControlDestruct, .events = gRectControlEvents,
     .eventCount = kRectControlEventCount, .properties = kRectControlProperties,
     .propertyCount = kRectControlPropertyCount},
    {.name = "Picture", .destructor = PictureDestruct},
    {.name = "Graphics",
     .constructor = GraphicsConstruct, .destructor = GraphicsDestruct,
     .properties = kGraphicsProperties, .propertyCount = kGraphicsPropertyCount},
    {.name = "MenuItem",
     .destructor = MenuItemDestruct, .events = gMenuItemEvents, .eventCount = kMenuItemEventCount,
     .properties = kMenuItemProperties, .propertyCount = kMenuItemPropertyCount},
    {.name = "Timer",
     .constructor = TimerConstruct, .destructor = TimerDestruct, .events = gTimerEvents,
     .eventCount = kTimerEventCount, .properties = kTimerProperties,
     .propertyCount = kTimerPropertyCount},
};

}  // namespace

const BuiltInBehaviour* BuiltInBehaviourOf(const char* name) {
  for (const BuiltInBehaviour& b : kBehaviours)
    if (std::string_view(b.name) == name) return &b;
  // The control kinds describe themselves (ui/kinds/).
  return ControlKindBehaviourOf(name);
}
