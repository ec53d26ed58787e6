// ImageWell: a sunken white well with a picture centred in it; the mouse
// goes to the application's handlers.
#include "plugin_library/control_data.h"
#include "plugin_library/controls.h"
#include "plugin_library/design_names.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/mouse_forwarding.h"
#include "plugin_library/picture_field.h"

namespace {

EventDefinition g_events[] = {
    {kMouseDownDeclaration, nullptr}, {kMouseDragDeclaration, nullptr}, {kMouseUpDeclaration, nullptr}};

// The well's data inside its instance.
ImageWellData* Data(PlugInstance instance) { return DataOf<ImageWellData>(instance, *ImageWellDefinition()); }

// The image centred in the white area and clipped to it.
void DrawImage(HDC dc, ImageWellData& d, PlugRect area) {
  if (!d.image) return;
  int w = d.description.width, h = d.description.height;
  PlugPoint at = ImageWellOrigin(area, w, h);
  RECT where{at.x, at.y, at.x + w, at.y + h};
  SavedDC saved(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  DrawPicture(dc, &d.description, &where);
}

// Slots 2 and 12: edges, inner frame, white fill, image.
void __cdecl Draw(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  HDC dc = canvas.dc();
  if (!dc) return;
  PlugRect b = ToPlugRect(ControlBounds(instance));
  RingEdges e = BevelRingEdges(b);
  DrawPolyline(dc, e.lit, 3, COLORREF(153));  // the colour value itself, not a grey
  DrawPolyline(dc, e.dark, 3, RGB(255, 255, 255));
  FrameColour(dc, PlugInset(b, 1), RGB(0, 0, 0));
  PlugRect area = PlugInset(b, 2);
  FillColour(dc, area, RGB(255, 255, 255));
  DrawImage(dc, *Data(instance), area);
}

// Image setter: swaps the picture and its description, then redraws.
void __cdecl ImageSetter(PlugInstance instance, uint32_t, PlugObject picture) {
  ImageWellData* d = Data(instance);
  ReplacePicture(&d->image, &d->description, picture);
  Draw(instance, nullptr);
}

// Slot 1: lets go of the picture.
void __cdecl Destroy(PlugInstance instance, uint32_t) {
  ImageWellData* d = Data(instance);
  ReplacePicture(&d->image, &d->description, nullptr);
}

const PropertyDefinition kProperties[] = {
    {"Appearance", "Image", "Picture", 0, reinterpret_cast<void*>(kDefaultAccessor),
     reinterpret_cast<void*>(ImageSetter), 16, 0, 0, nullptr},
};

// The slots the pane calls; the rest stay empty.
BehaviourTable MakeBehaviour() {
  BehaviourTable t = DrawnControlBehaviour<g_events>(reinterpret_cast<void*>(Draw));
  t.slot[kSlotDestroy] = reinterpret_cast<void*>(Destroy);
  return t;
}

const BehaviourTable kBehaviour = MakeBehaviour();

ControlDefinition g_definition = {
    kControlDefinitionVersion, "ImageWell", sizeof(ImageWellData), kFlagOwnUpdateRect, {0, 0}, 32, 32,
    kProperties, 1, nullptr, 0, g_events, 3, &kBehaviour, 0, nullptr, 0, nullptr, nullptr, 0};

}  // namespace

ControlDefinition* ImageWellDefinition() { return &g_definition; }
