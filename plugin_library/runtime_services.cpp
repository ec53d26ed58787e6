// Name lookup on first use for every runtime service the library calls.
// The cache is indexed by a fixed list of names so that a repeated call costs
// one array read; a fresh lookup routine clears it.
#include "plugin_library/runtime_services.h"

namespace {

enum Service {
  kRegisterPluginVersion,
  kPluginRegisterControl,
  kPluginDefaultControlFont,
  kPluginDefaultControlCaption,
  kPluginDefaultControlFontSize,
  kZORBLockObject,
  kZORBUnlockObject,
  kZORBLockString,
  kZORBUnlockString,
  kZORBBuildString,
  kStringGetCString,
  kGetControlHWND,
  kGetControlBounds,
  kGetControlVisible,
  kcontrolEnabledGetter,
  kZORBInvalidateControl,
  kZORBGraphicsDC,
  kZORBGetControlGraphics,
  kZORBGetWin32Charset,
  kGetEventInstance,
  kGetInterfaceRoutine,
  klockPictureDescription,
  kunlockPictureDescription,
  kdrawPicturePrimitive,
  kZORBSetSpecialBackground,
  kServiceCount
};

const char* const kNames[kServiceCount] = {
    "RegisterPluginVersion", "PluginRegisterControl", "PluginDefaultControlFont",
    "PluginDefaultControlCaption", "PluginDefaultControlFontSize", "ZORBLockObject",
    "ZORBUnlockObject", "ZORBLockString", "ZORBUnlockString", "ZORBBuildString",
    "StringGetCString", "GetControlHWND", "GetControlBounds", "GetControlVisible",
    "controlEnabledGetter", "ZORBInvalidateControl", "ZORBGraphicsDC",
    "ZORBGetControlGraphics", "ZORBGetWin32Charset", "GetEventInstance",
    "GetInterfaceRoutine", "lockPictureDescription", "unlockPictureDescription",
    "drawPicturePrimitive", "ZORBSetSpecialBackground"};

LookupRoutine g_lookup = nullptr;
void* g_cache[kServiceCount];
bool g_looked[kServiceCount];

// The address of a service, looked up once; null when the runtime lacks it.
template <typename F>
F Find(Service s) {
  if (!g_looked[s] && g_lookup) {
    g_cache[s] = g_lookup(kNames[s]);
    g_looked[s] = true;
  }
  return reinterpret_cast<F>(g_cache[s]);
}

}  // namespace

void SetLookupRoutine(LookupRoutine lookup) {
  g_lookup = lookup;
  for (int i = 0; i < kServiceCount; ++i) g_cache[i] = nullptr, g_looked[i] = false;
}

void RegisterPluginVersion(int version) {
  if (auto f = Find<void(__cdecl*)(int)>(kRegisterPluginVersion)) f(version);
}

void PluginRegisterControl(ControlDefinition* definition) {
  if (auto f = Find<void(__cdecl*)(ControlDefinition*)>(kPluginRegisterControl)) f(definition);
}

PlugString DefaultControlFont() {
  auto f = Find<PlugString(__cdecl*)()>(kPluginDefaultControlFont);
  return f ? f() : nullptr;
}

PlugString DefaultControlCaption() {
  auto f = Find<PlugString(__cdecl*)()>(kPluginDefaultControlCaption);
  return f ? f() : nullptr;
}

int DefaultControlFontSize() {
  auto f = Find<int(__cdecl*)()>(kPluginDefaultControlFontSize);
  return f ? f() : 12;
}

void LockObject(PlugObject object) {
  if (!object) return;
  if (auto f = Find<void(__cdecl*)(PlugObject)>(kZORBLockObject)) f(object);
}

void UnlockObject(PlugObject object) {
  if (!object) return;
  if (auto f = Find<void(__cdecl*)(PlugObject)>(kZORBUnlockObject)) f(object);
}

void LockString(PlugString text) {
  if (!text) return;
  if (auto f = Find<void(__cdecl*)(PlugString)>(kZORBLockString)) f(text);
}

void UnlockString(PlugString text) {
  if (!text) return;
  if (auto f = Find<void(__cdecl*)(PlugString)>(kZORBUnlockString)) f(text);
}

PlugString BuildString(const char* bytes, int length) {
  auto f = Find<PlugString(__cdecl*)(const char*, int)>(kZORBBuildString);
  return f ? f(bytes, length) : nullptr;
}

const char* StringText(PlugString text) {
  if (!text) return "";
  auto f = Find<const char*(__cdecl*)(PlugString)>(kStringGetCString);
  const char* bytes = f ? f(text) : nullptr;
  return bytes ? bytes : "";
}

HWND ControlHwnd(PlugInstance instance) {
  auto f = Find<HWND(__cdecl*)(PlugInstance)>(kGetControlHWND);
  return f ? f(instance) : nullptr;
}

RECT ControlBounds(PlugInstance instance) {
  ControlBounds16 b{};
  if (auto f = Find<void(__cdecl*)(PlugInstance, ControlBounds16*)>(kGetControlBounds)) f(instance, &b);
  return RECT{b.left, b.top, b.right, b.bottom};
}

bool ControlVisible(PlugInstance instance) {
  auto f = Find<int(__cdecl*)(PlugInstance)>(kGetControlVisible);
  return f && (f(instance) & 0xFF) != 0;
}

bool ControlEnabled(PlugInstance instance) {
  auto f = Find<int(__cdecl*)(PlugInstance)>(kcontrolEnabledGetter);
  return !f || (f(instance) & 0xFF) != 0;
}

void InvalidateControl(PlugInstance instance) {
  if (auto f = Find<void(__cdecl*)(PlugInstance)>(kZORBInvalidateControl)) f(instance);
}

HDC GraphicsDC(PlugObject graphics) {
  auto f = Find<HDC(__cdecl*)(PlugObject)>(kZORBGraphicsDC);
  return f && graphics ? f(graphics) : nullptr;
}

PlugObject ControlGraphics(PlugInstance instance) {
  auto f = Find<PlugObject(__cdecl*)(PlugInstance)>(kZORBGetControlGraphics);
  return f ? f(instance) : nullptr;
}

int Win32Charset() {
  auto f = Find<int(__cdecl*)()>(kZORBGetWin32Charset);
  return f ? f() : DEFAULT_CHARSET;
}

void* EventHandler(PlugInstance instance, const EventDefinition& event) {
  if (!event.record) return nullptr;
  auto f = Find<void*(__cdecl*)(PlugInstance, void*)>(kGetEventInstance);
  return f ? f(instance, event.record) : nullptr;
}

void* InterfaceRoutine(PlugObject object, const char* interfaceName, const char* routine) {
  auto f = Find<void*(__cdecl*)(PlugObject, const char*, const char*)>(kGetInterfaceRoutine);
  return f && object ? f(object, interfaceName, routine) : nullptr;
}

void LockPictureDescription(PlugObject picture, PictureDescription* description) {
  using F = void(__cdecl*)(PlugObject, PictureDescription*);
  if (auto f = Find<F>(klockPictureDescription)) f(picture, description);
}

void UnlockPictureDescription(PlugObject picture, PictureDescription* description) {
  using F = void(__cdecl*)(PlugObject, PictureDescription*);
  if (auto f = Find<F>(kunlockPictureDescription)) f(picture, description);
}

void DrawPicture(HDC dc, PictureDescription* description, const RECT* destination) {
  using F = void(__cdecl*)(HDC, PictureDescription*, const RECT*);
  if (auto f = Find<F>(kdrawPicturePrimitive)) f(dc, description, destination);
}

// The runtime answers in its own colour form, 0x00RRGGBB; GDI wants a
// COLORREF, whose red and blue bytes are the other way round.
COLORREF SpecialBackground(PlugInstance instance) {
  uint32_t colour = 0xFFFFFF;
  if (auto f = Find<void(__cdecl*)(PlugInstance, uint32_t*)>(kZORBSetSpecialBackground)) f(instance, &colour);
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void RaiseEvent(PlugInstance instance, const EventDefinition& event) {
  if (auto handler = reinterpret_cast<ActionHandler>(EventHandler(instance, event))) handler(instance);
}
