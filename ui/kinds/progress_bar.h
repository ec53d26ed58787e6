// ProgressBar: a standard progress bar, and for an indeterminate one
// (Maximum <= 0) a block that sweeps to and fro over it: a pane of its own
// laid over the bar, moved at every run of a periodic task, so that long
// work that calls RuntimeBackgroundTask shows it moving.
#pragma once
#include <windows.h>

#include "objects/builtin_classes.h"
#include "sdk/ui_layouts.h"
#include "ui/event_loop.h"
#include "ui/kinds/kind_pane.h"
#include "ui/kinds/kind_rules.h"
#include "ui/pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kProgressBarKind;

// The kind's "CreatePane" handler.
void __cdecl ProgressBarCreatePane(ObjectRecord* control);

// The block that sweeps over an indeterminate progress bar: a runtime-drawn
// pane laid over the bar, moved by a periodic task.
class SweepPane : public Pane {
 public:
  explicit SweepPane(RectControlObject* control) : Pane(control) {}
  bool Create(HWND parent);
  void Paint(HDC dc) override;
  bool CanTakeFocus() override { return false; }
  void Step();
  const Sweep& State() const { return sweep_; }

 private:
  Sweep sweep_;
};
class ProgressPane : public KindPane {
 public:
  explicit ProgressPane(RectControlObject* control) : KindPane(control) {}
  ~ProgressPane() override;
  bool Create(HWND parent);
  void Close() override;
  void SetState(int state) override;
  void SetBounds(const ShortRect& bounds, bool redraw) override;
  bool CanTakeFocus() override { return false; }

  void SetValue(int32_t value);
  void SetMaximum(int32_t maximum);
  SweepPane* Sweeping() const { return sweep_; }
  PeriodicTask* SweepTask() const { return task_; }

 protected:
  const ControlFontFields* FontFields() const override { return &As<ProgressBarObject>()->font; }

 private:
  void StartSweep();
  void StopSweep();
  static void RunSweep(void* pane);
  SweepPane* sweep_ = nullptr;
  PeriodicTask* task_ = nullptr;
};
