// RuntimeInit; see runtime_init.h. The order matters: member imports can only
// be linked once built-in and plug-in classes exist, image classes only once
// those are linked, and the project items' module instances need the class
// table. The "Open" event runs before any window exists.
#include "startup/runtime_init.h"

#include <ole2.h>
#include <windows.h>

#include <string>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/process_globals.h"
#include "objects/startup_trace.h"
#include "plugins/embedded_plugins.h"
#include "sdk/le_bytes.h"
#include "services/serial_port.h"
#include "services/settings.h"
#include "startup/deferred_imports.h"
#include "startup/entry_table.h"
#include "startup/layer_hooks.h"
#include "startup/load_messages.h"
#include "startup/project_items.h"
#include "startup/project_record.h"
#include "ui/class_events.h"
#include "ui/event_loop.h"
#include "ui/message_box.h"
#include "ui/runtime_ui.h"

namespace {

MemorySpan DataSpan() { return {reinterpret_cast<uintptr_t>(gDataBase), gDataLength}; }
MemorySpan CodeSpan() { return {reinterpret_cast<uintptr_t>(gCodeBase), gCodeLength}; }

void StartServices() {
  OleInitialize(nullptr);
  StartupMark("OLE");
  RegisterBuiltInClasses();
  StartupMark("built-in classes");
  SetSerialPoller(PollSerialLines);
  InstallEmbeddedPlugins(DataSpan(), PluginLookupEntryPoint);
  SetDefaultFont("System", 12);
}

// The top of this thread's stack less 8 KB, for the stack check.
void SetStackLimit() {
  auto* tib = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
  gStackLimit = reinterpret_cast<uintptr_t>(tib->StackBase) - 8192;
}

// The project record: class count, class descriptors, item count, items.
bool ReadProjectRecord(const uint32_t* record) {
  MemorySpan data = DataSpan();
  ProjectLists lists;
  if (!ReadProjectLists(reinterpret_cast<uint32_t>(record), data, lists)) return false;
  if (!LinkImageClasses(record, data, CodeSpan())) return false;
  StartupMark("class table");
  CreateProjectItems(reinterpret_cast<const uint32_t*>(lists.items), lists.itemCount, data);
  StartupMark("project items (module, settings, menu bar, pictures)");
  return true;
}

// A program whose image is damaged must not run on without the classes or
// items it lost: the damage is named once and the program ends.
void RefuseDamagedImage(const char* what) {
  // Once: whatever fails while the message is up must not show another.
  SetAssertionRecorder(nullptr);
  SetImageDamageHandler(nullptr);
  std::string message = std::string(kImageUnreadable) + what + ".";
  ShowRuntimeMessage(message.c_str());
  ExitProcess(1);
}

void OpenApplication() {
  ObjectRecord* app = NewObjectOfClass(ApplicationClass());
  SetApplicationObject(app);
  RuntimeUnlockObject(app);
  const EventDeclaration* open = gApplicationEvents[kAppOpen].declaration;
  if (CodeAddress handler = FindEventHandler(app->cls, open))
    reinterpret_cast<void(__cdecl*)(ObjectRecord*)>(handler)(app);
}

}  // namespace

ClassRecord* ApplicationClass() {
  ClassRecord* builtIn = FindBuiltInClass("Application");
  ClassRecord* chosen = builtIn;
  for (int32_t i = 0; i < ClassCount(); ++i) {
    ClassRecord* cls = ClassAt(i);
    if (cls && !cls->builtIn && ClassIsa(cls, builtIn)) chosen = cls;
  }
  return chosen;
}

extern "C" void RuntimeInit(const uint32_t* projectRecord) {
  gStartTicks = GetTickCount();
  InstallLayerHooks();
  RegisterRuntimeWindowClasses();
  SetImageDamageHandler(RefuseDamagedImage);
  // Every check that fails while the image's records are read is damage.
  AssertionRecorder previous = SetAssertionRecorder(RefuseDamagedImage);
  StartServices();
  SetStackLimit();
  ResolveDeferredImports();
  StartupMark("member imports");
  if (!ReadProjectRecord(projectRecord))
    RefuseDamagedImage("the project record lies outside the data block");
  SetAssertionRecorder(previous);
  if (CurrentSettings().multipleDocuments) CreateFrameWindow(CurrentSettings().title);
  OpenApplication();
  StartupMark("Application Open");
}
