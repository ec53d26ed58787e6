// The pane behind a plug-in control: a child window of the runtime's
// "ZB_PluginPane" class whose drawing, mouse, keyboard and lifetime calls go
// to the control's behaviour table. Each routine gets the control instance;
// the plug-in finds its own data at instance + the definition's data offset.
#pragma once
#include <windows.h>

#include "sdk/plugin_records.h"
#include "ui/pane.h"

struct PeriodicTask;

class PluginPane : public Pane {
 public:
  PluginPane(RectControlObject* control, const PluginControlDefinition* definition);
  ~PluginPane() override;

  // Creates the child window inside `parent`, then tells the plug-in (slot 9)
  // and starts the periodic task when slot 11 is set.
  bool Create(HWND parent);

  void Close() override;
  bool CanTakeFocus() override;
  void GainFocus() override;
  void LoseFocus() override;
  bool KeyDown(const MSG& message) override;
  void Paint(HDC dc) override;
  // Draws the control into a device context that is not its own (slot 12).
  void DrawInto(HDC dc, int x, int y);

  // Mouse messages of the pane's window, in the pane's client coordinates.
  void ButtonDown(int x, int y, WPARAM keys);
  void MouseMove(int x, int y);
  void ButtonUp(int x, int y);
  void CaptureLost();
  bool Tracking() const { return tracking_; }

  // The colour behind the control: the window's own background colour when
  // it has one; `colour` is left as it is otherwise.
  void SpecialBackground(uint32_t* colour) const;

  ObjectRecord* Instance() const { return &control_->control.header; }
  void* Slot(int slot) const;

 private:
  // Lends `dc` to a fresh drawing port and hands a Graphics on it to `slot`.
  void DrawThrough(int slot, HDC dc, int x, int y);
  static void Periodic(void* context);

  const PluginControlDefinition* definition_;
  PeriodicTask* periodic_ = nullptr;
  bool tracking_ = false;
  bool closed_ = false;
};

// Registers the "ZB_PluginPane" window class once.
void RegisterPluginPaneClass();

// The "CreatePane" handler of every plug-in control class.
void __cdecl PluginControlCreatePane(ObjectRecord* control);
