// The services plug-ins use from their control routines: the control's
// window, bounds, visibility and redrawing, graphics and device contexts,
// the application's event handlers and interface routines. Every service
// takes a nil instance quietly, since plug-ins pass what they were given.
#include <windows.h>

#include "objects/checked_cast.h"
#include "objects/classes.h"
#include "objects/collation.h"
#include "objects/strings.h"
#include "plugins/plugin_pane.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/drawing/drawing_port.h"
#include "ui/drawing/fonts.h"
#include "ui/drawing/graphics.h"
#include "ui/kinds/kind_pane.h"

namespace {

// The object as a RectControl; null for nil and for an object of any other class.
RectControlObject* AsRectControl(ObjectRecord* instance) { return As<RectControlObject>(instance); }

PluginPane* PluginPaneOf(ObjectRecord* instance) {
  RectControlObject* rc = AsRectControl(instance);
  return rc ? dynamic_cast<PluginPane*>(rc->pane) : nullptr;
}

HWND PaneHandle(ObjectRecord* instance) {
  RectControlObject* rc = AsRectControl(instance);
  return rc && rc->pane ? rc->pane->Handle() : nullptr;
}

CodeAddress InterfaceTableEntry(const ClassRecord* cls, std::string_view iface,
                                std::string_view routine) {
  for (; cls; cls = cls->superclass)
    for (const InterfaceRecord* ir = cls->interfaces; ir; ir = ir->next) {
      if (!ir->iface || !CollateEqual(StringView(ir->iface->name), iface)) continue;
      for (const MethodRecord* m = ir->iface->methods; m; m = m->next)
        if (CollateEqual(StringView(m->name), routine) && ir->table &&
            m->interfaceSlot >= 1 && m->interfaceSlot <= ir->tableCount)
          return ir->table[m->interfaceSlot];
    }
  return nullptr;
}

bool ImplementsNamed(const ClassRecord* cls, std::string_view iface) {
  for (; cls; cls = cls->superclass)
    for (const InterfaceRecord* ir = cls->interfaces; ir; ir = ir->next)
      if (ir->iface && CollateEqual(StringView(ir->iface->name), iface)) return true;
  return false;
}

// Before the interface tables are built, the routine of that name along the
// class chain is the implementation.
CodeAddress MethodNamed(const ClassRecord* cls, std::string_view routine) {
  for (; cls; cls = cls->superclass)
    for (const MethodRecord* m = cls->methods; m; m = m->next)
      if (CollateEqual(StringView(m->name), routine)) return m->entry.code;
  return nullptr;
}

}  // namespace

extern "C" {

void* GetControlHWND(ObjectRecord* instance) {
  if (HWND pane = PaneHandle(instance)) return pane;
  RectControlObject* rc = AsRectControl(instance);
  return rc ? PaneParentOf(rc) : nullptr;
}

void GetControlBounds(ObjectRecord* instance, PluginRect* bounds) {
  RectControlObject* rc = AsRectControl(instance);
  if (!rc || !bounds) return;
  *bounds = PluginRect{rc->bounds.top, rc->bounds.left, rc->bounds.bottom, rc->bounds.right};
}

bool GetControlVisible(ObjectRecord* instance) {
  return AsRectControl(instance) ? controlVisibleGetter(instance) : false;
}

void SetControlVisible(ObjectRecord* instance, bool visible) {
  if (AsRectControl(instance)) ControlVisibleSetter(instance, 0, visible);
}

void ZORBInvalidateControl(ObjectRecord* instance) {
  RectControlObject* rc = AsRectControl(instance);
  if (rc && rc->pane) rc->pane->Invalidate();
}

// `rect` is in window coordinates, as the bounds are.
void ZORBInvalidateControlRect(ObjectRecord* instance, const PluginRect* rect) {
  RectControlObject* rc = AsRectControl(instance);
  HWND hwnd = PaneHandle(instance);
  if (!rc || !hwnd) return;
  if (!rect) return ZORBInvalidateControl(instance);
  RECT r{rect->left - rc->bounds.left, rect->top - rc->bounds.top, rect->right - rc->bounds.left,
         rect->bottom - rc->bounds.top};
  InvalidateRect(hwnd, &r, FALSE);
}

void* ZORBGraphicsDC(ObjectRecord* graphics) {
  DrawingPort* port = GraphicsPort(graphics);
  return port ? port->AttachedDC() : nullptr;
}

// The pane's own DC (its class keeps one per window), set up as during a
// redraw: window coordinates, drawing clipped to the pane.
ObjectRecord* ZORBGetControlGraphics(ObjectRecord* instance) {
  RectControlObject* rc = AsRectControl(instance);
  HWND hwnd = PaneHandle(instance);
  if (!rc || !hwnd || !PluginPaneOf(instance)) return nullptr;
  HDC dc = GetDC(hwnd);
  if (!dc) return nullptr;
  SetViewportOrgEx(dc, -rc->bounds.left, -rc->bounds.top, nullptr);
  auto* port = new DrawingPort();
  port->AttachDC(dc);
  ObjectRecord* graphics = NewGraphics(port, rc->bounds.left, rc->bounds.top,
                                       rc->bounds.right - rc->bounds.left,
                                       rc->bounds.bottom - rc->bounds.top);
  port->Release();
  return graphics;
}

int32_t ZORBGetWin32Charset() { return RuntimeCharset(); }

CodeAddress GetEventInstance(ObjectRecord* instance, void* declaration) {
  if (!instance || !declaration) return nullptr;
  return FindEventHandler(instance->cls, static_cast<const EventDeclaration*>(declaration));
}

CodeAddress GetInterfaceRoutine(ObjectRecord* object, const char* interfaceName,
                                const char* routineName) {
  if (!object || !interfaceName || !routineName) return nullptr;
  if (CodeAddress code = InterfaceTableEntry(object->cls, interfaceName, routineName)) return code;
  if (!ImplementsNamed(object->cls, interfaceName)) return nullptr;
  return MethodNamed(object->cls, routineName);
}

void ZORBSetSpecialBackground(ObjectRecord* instance, uint32_t* colour) {
  if (!colour) return;
  *colour = 0xFFFFFF;
  if (PluginPane* pane = PluginPaneOf(instance)) pane->SpecialBackground(colour);
}

}  // extern "C"
