// The library's one entry point: it takes the runtime's lookup routine,
// declares the interface version and registers the eight controls.
#include <windows.h>

#include "plugin_library/controls.h"
#include "plugin_library/plug_allocator.h"
#include "plugin_library/runtime_services.h"

// Registers every control in the order the runtime's class lists expect.
extern "C" __declspec(dllexport) void __cdecl ZORBPluginMain(LookupRoutine lookup) {
  SetLookupRoutine(lookup);
  RegisterPluginVersion(static_cast<int>(kControlDefinitionVersion));
  ControlDefinition* (*const order[])() = {
      BevelButtonDefinition, ChasingArrowsDefinition, LittleArrowsDefinition, PlacardDefinition,
      SeparatorDefinition,   PopupArrowDefinition,    DisclosureTriangleDefinition, ImageWellDefinition};
  for (auto definition : order) PluginRegisterControl(definition());
}

// The allocator's lock exists from load to unload.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) InitPlugAllocator();
  if (reason == DLL_PROCESS_DETACH) ClosePlugAllocator();
  return TRUE;
}
