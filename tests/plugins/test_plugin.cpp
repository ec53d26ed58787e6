// A plug-in library for the runtime's tests, using only what the lookup
// routine serves: "TestLamp" logs every behaviour call and paints its bounds
// black, "TestTicker" (version 3) has a periodic slot, a version 2 definition
// must be ignored; global methods read the log, try a late registration, and
// have a mouse call close the lamp's window.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <utility>

#include "sdk/plugin_records.h"

namespace {

using Lookup = PluginLookupRoutine;
using Instance = void*;

struct Services {
  void (*registerVersion)(int32_t);
  void (*registerControl)(void*);
  void (*registerMethod)(PluginMethodDefinition*);
  void* (*buildString)(const char*, int32_t);
  void (*controlBounds)(Instance, PluginRect*);
  void* (*graphicsDC)(void*);
  void* (*controlWindow)(Instance);  // with a reference for the caller
  void (*closeWindow)(void*);
  void (*unlock)(void*);
} gRuntime;

char gLog[2048];
uint32_t gDataOffset;  // from the definition, once registered

void Log(const char* text) {
  size_t used = strlen(gLog);
  if (used + strlen(text) + 2 >= sizeof gLog) return;
  if (used) strcat(gLog, " ");
  strcat(gLog, text);
}

void LogPoint(const char* what, int32_t x, int32_t y) {
  char text[64];
  snprintf(text, sizeof text, "%s(%d,%d)", what, (int)x, (int)y);
  Log(text);
}

// Which mouse call closes the lamp's own window, as an application's event
// handler may: 0 none, 1 the drag, 2 the release.
int32_t gCloseOn = 0;

void CloseOwnWindow(Instance self, int32_t when, const char* done) {
  if (gCloseOn != when) return;
  void* window = gRuntime.controlWindow(self);
  gRuntime.closeWindow(window);
  gRuntime.unlock(window);
  Log(done);
}

int32_t* Field(Instance instance, uint32_t offset) {
  return reinterpret_cast<int32_t*>(static_cast<char*>(instance) + gDataOffset + offset);
}

enum : uint32_t { kCaption = 0, kLit = 4, kLevel = 8, kCount = 12, kLampDataSize = 16 };

void __cdecl Construct(Instance self) {
  *Field(self, kLevel) = 7;
  Log("construct");
}
void __cdecl Destroy(Instance, int32_t) { Log("destroy"); }
void __cdecl Draw(Instance self, void* graphics) {
  HDC dc = static_cast<HDC>(gRuntime.graphicsDC(graphics));
  PluginRect b;
  gRuntime.controlBounds(self, &b);
  RECT r = {b.left, b.top, b.right, b.bottom};
  if (dc) FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  Log(dc ? "draw" : "draw-without-dc");
}
bool __cdecl MouseDown(Instance, int32_t x, int32_t y, int32_t) {
  LogPoint("down", x, y);
  return true;
}
void __cdecl MouseDrag(Instance self, int32_t x, int32_t y) {
  LogPoint("drag", x, y);
  CloseOwnWindow(self, 1, "drag-done");
}
void __cdecl MouseUp(Instance self, int32_t x, int32_t y) {
  LogPoint("up", x, y);
  CloseOwnWindow(self, 2, "up-done");
}
void __cdecl PaneCreated(Instance) { Log("pane"); }
void __cdecl PaneClosing(Instance) { Log("close"); }
// Stores twice the value, so a test can tell it from the default setter.
void __cdecl SetCount(Instance self, uint32_t, int32_t value) { *Field(self, kCount) = 2 * value; }
void __cdecl Bump(Instance self, int32_t amount) { *Field(self, kCount) += amount; }

constexpr uint32_t kDefault = ZORB_DEFAULT_ACCESSOR;
PluginPropertyDefinition gLampProperties[] = {
    {"Appearance", "Caption", "String", 0, kDefault, kDefault, kCaption, 0, 0, nullptr},
    {"Initial State", "Lit", "boolean", kPluginPropertyRedraws, kDefault, kDefault, kLit, 0, 0, nullptr},
    {"Appearance", "Level", "Integer", 0, kDefault, 0, kLevel, 0, 0, nullptr},
    {"Behavior", "Gadget", "NoSuchTypeAnywhere", 0, kDefault, kDefault, 0, 0, 0, nullptr},
    {"Behavior", "Count", "Integer", 0, kDefault, 0 /* SetCount */, kCount, 0, 0, nullptr},
};
// The second declaration does not parse.
PluginMethodDefinition gLampMethods[] = {
    {reinterpret_cast<void*>(Bump), nullptr, "Bump(amount As Integer)"},
    {reinterpret_cast<void*>(Bump), nullptr, "Broken(amount Integer)"},
};
PluginEventDefinition gLampEvents[] = {
    {"Action", nullptr},
    {"MouseDown(X As Integer, Y As Integer) As Boolean", nullptr},
};
PluginBehaviour gLampBehaviour;
PluginControlDefinition gLamp;

// TestTicker: only a periodic slot and the pane's closing.
void __cdecl Tick(Instance) { Log("tick"); }
void __cdecl TickerClosing(Instance) { Log("ticker-close"); }
PluginBehaviour gTickerBehaviour;
PluginControlDefinition gTicker;

PluginControlDefinition gVersion2;
PluginControlDefinition gLate;

void* __cdecl TestPluginLog() {
  void* text = gRuntime.buildString(gLog, static_cast<int32_t>(strlen(gLog)));
  gLog[0] = 0;
  return text;
}

void __cdecl TestPluginLateRegister() { gRuntime.registerControl(&gLate); }
void __cdecl TestPluginCloseOn(int32_t when) { gCloseOn = when; }

PluginMethodDefinition gGlobals[] = {
    {reinterpret_cast<void*>(TestPluginLog), nullptr, "TestPluginLog() As String"},
    {reinterpret_cast<void*>(TestPluginLateRegister), nullptr, "TestPluginLateRegister"},
    {reinterpret_cast<void*>(TestPluginCloseOn), nullptr, "TestPluginCloseOn(when As Integer)"},
};

template <typename F>
void* R(F routine) {
  return reinterpret_cast<void*>(routine);
}

void DefineControls() {
  const std::pair<int, void*> lampSlots[] = {
      {kPluginSlotConstruct, R(Construct)}, {kPluginSlotDestroy, R(Destroy)},
      {kPluginSlotDraw, R(Draw)},           {kPluginSlotMouseDown, R(MouseDown)},
      {kPluginSlotMouseDrag, R(MouseDrag)}, {kPluginSlotMouseUp, R(MouseUp)},
      {kPluginSlotPaneCreated, R(PaneCreated)}, {kPluginSlotPaneClosing, R(PaneClosing)}};
  for (auto [slot, routine] : lampSlots) gLampBehaviour.slot[slot] = routine;
  gLampProperties[4].setter = reinterpret_cast<uint32_t>(SetCount);
  gLamp = {4, "TestLamp", kLampDataSize, 0, {0, 0}, 32, 32, gLampProperties,
           sizeof gLampProperties / sizeof gLampProperties[0], gLampMethods, 2, gLampEvents, 2,
           &gLampBehaviour, 0, nullptr, 0, "NoSuchInterface, ", nullptr, 0};
  gVersion2 = gLamp;
  gVersion2.version = 2;
  gVersion2.name = "TestVersion2";
  gLate = gLamp;
  gLate.name = "LateLamp";
  gTickerBehaviour.slot[kPluginSlotPeriodic] = R(Tick);
  gTickerBehaviour.slot[kPluginSlotPaneClosing] = R(TickerClosing);
  gTicker.version = 3;
  gTicker.name = "TestTicker";
  gTicker.behaviour = &gTickerBehaviour;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl ZORBPluginMain(Lookup lookup) {
  // The registration service is asked for in lower case: names are matched
  // without regard to case.
  const std::pair<const char*, void*> services[] = {
      {"RegisterPluginVersion", &gRuntime.registerVersion}, {"pluginregistercontrol", &gRuntime.registerControl},
      {"PluginRegisterMethod", &gRuntime.registerMethod},   {"ZORBBuildString", &gRuntime.buildString},
      {"GetControlBounds", &gRuntime.controlBounds},        {"ZORBGraphicsDC", &gRuntime.graphicsDC},
      {"controlWindowGetter", &gRuntime.controlWindow},     {"RuntimeCloseWindow", &gRuntime.closeWindow},
      {"ZORBUnlockObject", &gRuntime.unlock}};
  for (auto [name, slot] : services) {
    void* found = lookup(name);
    if (!found) return;
    memcpy(slot, &found, sizeof found);
  }
  gRuntime.registerVersion(4);
  DefineControls();
  gRuntime.registerControl(&gLamp);
  gDataOffset = gLamp.dataOffset;
  gRuntime.registerControl(&gVersion2);
  gRuntime.registerControl(&gTicker);
  for (PluginMethodDefinition& m : gGlobals) gRuntime.registerMethod(&m);
}
