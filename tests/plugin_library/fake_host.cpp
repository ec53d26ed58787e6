// The fake runtime's services, on the library's contract: bounds as four
// 16-bit values (top, left, bottom, right), reference-counted strings, events
// found through the record written into each event definition.
#include "tests/plugin_library/fake_host.h"

#include <cstring>

namespace fake {
namespace {

Host g_host;
std::map<PlugInstance, std::unique_ptr<Control>> g_controls;
std::string g_pendingEvent;

Control* ControlOf(PlugInstance instance) { return g_controls.at(instance).get(); }

void __cdecl PluginRegisterControl(ControlDefinition* d) {
  d->dataOffset = 92;
  // The record handed back for each event is the event's own definition,
  // so the fake can tell events apart by their declaration.
  for (uint32_t i = 0; i < d->eventCount; ++i) d->events[i].record = &d->events[i];
  g_host.registered.push_back(d);
}

PlugString __cdecl DefaultFont() { return NewString("System"); }
PlugString __cdecl DefaultCaption() { return NewString("Untitled"); }
void __cdecl LockObject(void* o) { ++g_host.objectRefs[o]; }
void __cdecl UnlockObject(void* o) { --g_host.objectRefs[o]; }
void __cdecl LockString(String* s) { ++s->refs; }
void __cdecl UnlockString(String* s) { --s->refs; }
const char* __cdecl GetCString(String* s) { return s->text.c_str(); }
HWND __cdecl GetControlHWND(PlugInstance i) { return ControlOf(i)->hwnd; }

void __cdecl GetControlBounds(PlugInstance i, ControlBounds16* out) {
  RECT r = ControlOf(i)->bounds;
  *out = ControlBounds16{int16_t(r.top), int16_t(r.left), int16_t(r.bottom), int16_t(r.right)};
}

int __cdecl GetControlVisible(PlugInstance) { return 1; }
int __cdecl ControlEnabled(PlugInstance i) { return ControlOf(i)->enabled; }
// A control's graphics object is the control itself, handed out with a
// reference of its own as the runtime hands out a new graphics object.
HDC __cdecl GraphicsDC(void* g) { return ControlOf(static_cast<PlugInstance>(g))->surface->dc(); }
void* __cdecl ControlGraphics(PlugInstance i) {
  ++g_host.objectRefs[i];
  return i;
}
int __cdecl Charset() { return ANSI_CHARSET; }

void __cdecl ActionHandler(PlugInstance i) {
  g_host.raised.push_back(g_pendingEvent);
  g_host.heldAtAction = g_host.objectRefs[i];
}
int __cdecl MouseDownHandler(PlugInstance, int x, int y) {
  g_host.raised.push_back(g_pendingEvent + "@" + std::to_string(x) + "," + std::to_string(y));
  return 1;
}

void* __cdecl GetEventInstance(PlugInstance, EventDefinition* record) {
  g_pendingEvent = record->declaration;
  g_pendingEvent = g_pendingEvent.substr(0, g_pendingEvent.find('('));
  if (g_pendingEvent.rfind("Mouse", 0) == 0) return reinterpret_cast<void*>(MouseDownHandler);
  return reinterpret_cast<void*>(ActionHandler);
}

void __cdecl PerformAction(void* receiver) {
  g_host.raised.push_back("PerformAction:" + std::to_string(reinterpret_cast<uintptr_t>(receiver) & 0xFFFF));
}

void* __cdecl GetInterfaceRoutine(void*, const char* iface, const char* routine) {
  bool known = !strcmp(iface, "actionNotificationReceiver") && !strcmp(routine, "PerformAction");
  return known ? reinterpret_cast<void*>(PerformAction) : nullptr;
}

// Answers as the runtime's pane does: in the runtime's colour form, 0x00RRGGBB.
void __cdecl SetSpecialBackground(PlugInstance, uint32_t* colour) {
  COLORREF c = g_host.specialBackground;
  if (*colour == 0xFFFFFF) *colour = (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

template <typename F>
std::pair<const std::string, void*> S(const char* name, F routine) {
  return {name, reinterpret_cast<void*>(routine)};
}

const std::map<std::string, void*>& Services() {
  static const std::map<std::string, void*> services = {
      S("PluginRegisterControl", PluginRegisterControl), S("PluginDefaultControlFont", DefaultFont),
      S("PluginDefaultControlCaption", DefaultCaption), S("ZORBLockObject", LockObject),
      S("ZORBUnlockObject", UnlockObject), S("ZORBLockString", LockString),
      S("ZORBUnlockString", UnlockString), S("StringGetCString", GetCString),
      S("GetControlHWND", GetControlHWND), S("GetControlBounds", GetControlBounds),
      S("GetControlVisible", GetControlVisible), S("controlEnabledGetter", ControlEnabled),
      S("ZORBGraphicsDC", GraphicsDC), S("ZORBGetControlGraphics", ControlGraphics),
      S("ZORBGetWin32Charset", Charset), S("GetEventInstance", GetEventInstance),
      S("GetInterfaceRoutine", GetInterfaceRoutine), S("ZORBSetSpecialBackground", SetSpecialBackground),
  };
  return services;
}

void* __cdecl LookupName(const char* name) {
  auto it = Services().find(name);
  return it == Services().end() ? nullptr : it->second;
}

}  // namespace

Host& host() { return g_host; }

void ResetRecords() { g_host.raised.clear(); }

HMODULE LoadPlugin() {
  static const HMODULE module = [] {
    HMODULE m = LoadLibraryA("zorbplug1.dll");
    void* entry = m ? reinterpret_cast<void*>(GetProcAddress(m, "ZORBPluginMain")) : nullptr;
    if (entry) reinterpret_cast<void(__cdecl*)(LookupRoutine)>(entry)(LookupName);
    return m;
  }();
  return module;
}

const ControlDefinition* Definition(const char* name) {
  for (auto* d : g_host.registered)
    if (!strcmp(d->name, name)) return d;
  return nullptr;
}

Control* MakeControl(const char* kind, RECT bounds) {
  auto made = std::make_unique<Control>();
  Control* c = made.get();
  c->definition = Definition(kind);
  c->memory.assign(92 + c->definition->dataSize, 0);
  c->bounds = bounds;
  c->surface = std::make_unique<Surface>(bounds, 3);
  g_controls[c->instance()] = std::move(made);
  if (c->definition->behaviour->slot[kSlotConstruct]) c->Call(kSlotConstruct);
  return c;
}

void DestroyAll() {
  for (auto& [instance, c] : g_controls)
    if (c->definition->behaviour->slot[kSlotDestroy]) c->Call(kSlotDestroy, 0);
  g_controls.clear();
}

String* NewString(const char* text) { return new String{1, text}; }
std::string Text(PlugString s) { return s ? static_cast<String*>(s)->text : std::string(); }

}  // namespace fake
