// Start-up and the main window's own events: the entry function brings up
// the runtime and the main window, whose Open loads the settings, offers the
// setup assistant on a first run and connects when asked to; Resized keeps
// the collapsed window at its one size (and a new size of the Writing Window
// is saved soon); Close saves and ends the program.
#include VS_PROJECT_HEADER

#include "app/autosave.h"
#include "app/globals.h"
#include "app/pref_container.h"

namespace {

VS_STRING(kToggle, "ButtonToggleInputView");
// The name the running copy holds.
VS_STRING(kOneCopy, "Vellory Server, one copy");

// The collapsed window: the status line alone.
constexpr int32_t kCollapsedWidth = 198;
constexpr int32_t kCollapsedHeight = 19;

ObjectRecord* gMain = nullptr;

ObjectRecord* Control(StringRecord* name) { return RuntimeControlFetch(gMain, name); }

// A diagnostic for finding leaks: with the preference "DebugObjectReport"
// set, the objects still alive when the main window closes (only those that
// live as long as the program should be left) are listed in a file of a
// fixed name beside the preference file. A path taken from the file would
// let whatever wrote it choose where the program writes.
VS_STRING(kObjectReportKey, "DebugObjectReport");
VS_STRING(kObjectReportFile, "Vellory Objects.txt");

void WriteObjectReport() {
  if (!PrefContainer_GetBoolean(Prefs(), &kObjectReportKey)) return;
  vs::Ref folder = vs::Ref::Adopt(getPreferencesFolder());
  vs::Ref file = vs::Ref::Adopt(FolderChild(folder.get(), &kObjectReportFile));
  debugDumpObjects(vs::String::Adopt(fileAbsolutePathGetter(file.get())).get());
}

}  // namespace

ObjectRecord* MainWindow() { return gMain; }

extern "C" {

void Main_ViewExpand(ObjectRecord* main, bool visible) {
  ControlVisibleSetter(InputView(), 0, visible);
  Global<bool>(G::kShowInputView) = true;
  ControlVisibleSetter(Control(&kToggle), 0, false);
  // Each step may report a move or a new size at once, and Moved and
  // Resized keep what they report: the place and size wanted are read first.
  const int32_t place[] = {Global<int32_t>(G::kX), Global<int32_t>(G::kY), Global<int32_t>(G::kWidth),
                           Global<int32_t>(G::kHeight)};
  for (uint32_t i = 0; i < 4; ++i) windowPosSetter(main, i, place[i]);
}

void Main_ViewUpdate(ObjectRecord*) {
  ControlVisibleSetter(ProgressBar(), 0, Global<bool>(G::kShowProgressBar));
}

void Main_Open(ObjectRecord* main) {
  gMain = main;
  Main_PrefsLoad(main);
  Global<bool>(G::kGameMode) = false;
  vs::Field<bool>(main, vs_project::Main::kConnected) = false;
  if (Global<bool>(G::kFirstRun)) ShowSetupAssistant();
  if (Global<bool>(G::kAutoConnect)) Main_Connect(main);
  Main_ViewExpand(main, Global<bool>(G::kShowInputView));
  Main_ViewUpdate(main);
  // Loading the text and placing the window changed nothing of the file.
  ForgetUnsavedChanges();
}

void Main_Close(ObjectRecord* main) {
  Main_Disconnect(main);
  SaveBeforeQuitting(main);
  WriteObjectReport();
  ApplicationQuit();
}

void Main_Resized(ObjectRecord* main) {
  if (controlVisibleGetter(InputView())) {
    // Showing the window at the size it was given changes nothing to save.
    int32_t width = windowPosGetter(main, 2), height = windowPosGetter(main, 3);
    if (width == Global<int32_t>(G::kWidth) && height == Global<int32_t>(G::kHeight)) return;
    Global<int32_t>(G::kWidth) = width;
    Global<int32_t>(G::kHeight) = height;
    NoteUnsavedChange();
    return;
  }
  // Setting the size raises Resized again; by then it is already right.
  if (windowPosGetter(main, 2) != kCollapsedWidth) windowPosSetter(main, 2, kCollapsedWidth);
  if (windowPosGetter(main, 3) != kCollapsedHeight) windowPosSetter(main, 3, kCollapsedHeight);
}

// A second copy would load the text of the moment and, closed last, save
// it over everything the first copy received since: it hands over to the
// running copy's window instead, touching nothing.
void VelloryEntry() {
  if (!RuntimeClaimInstance(&kOneCopy)) return;
  Win32InstallPlugins(vs_project::PluginList());
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeInstanceWindow(gMain);
  RuntimeRun();
}

}  // extern "C"
