// The BevelButton's own property routines: those that must redraw or keep
// references, where the runtime's default field accessors would not.
#include "plugin_library/bevel_button.h"
#include "plugin_library/picture_field.h"
#include "plugin_library/runtime_services.h"

PlugString __cdecl BevelCaptionGetter(PlugInstance instance, uint32_t) {
  PlugString caption = BevelData(instance)->caption;
  LockString(caption);
  return caption;
}

void __cdecl BevelCaptionSetter(PlugInstance instance, uint32_t, PlugString value) {
  BevelButtonData* data = BevelData(instance);
  LockString(value);
  UnlockString(data->caption);
  data->caption = value;
  RedrawBevelButton(instance);
}

// Stores a 32-bit field and redraws. These properties read through the
// runtime's default getter, so the runtime hands this setter the same word:
// the field's offset in the instance (data offset + definition parameter).
void __cdecl BevelIntSetter(PlugInstance instance, uint32_t parameter, int32_t value) {
  auto* data = reinterpret_cast<uint8_t*>(BevelData(instance));
  uint32_t dataOffset = static_cast<uint32_t>(data - instance);
  if (parameter < dataOffset || parameter - dataOffset > sizeof(BevelButtonData) - sizeof(int32_t)) return;
  *reinterpret_cast<int32_t*>(instance + parameter) = value;
  RedrawBevelButton(instance);
}

void __cdecl BevelIconSetter(PlugInstance instance, uint32_t, PlugObject picture) {
  BevelButtonData* data = BevelData(instance);
  ReplacePicture(&data->icon, &data->iconDescription, picture);
  RedrawBevelButton(instance);
}

void __cdecl BevelValueSetter(PlugInstance instance, uint32_t, int value) {
  BevelData(instance)->value = (value & 0xFF) ? 1 : 0;
  RedrawBevelButton(instance);
}

int __cdecl BevelMenuValueGetter(PlugInstance instance, uint32_t) {
  return BevelData(instance)->menuValue;
}

// The check mark moves only when the menu next opens: no redraw.
void __cdecl BevelMenuValueSetter(PlugInstance instance, uint32_t, int32_t value) {
  BevelData(instance)->menuValue = static_cast<int16_t>(value);
}
