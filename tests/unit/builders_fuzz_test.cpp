// What builds on the readers and needs Windows, fuzzed where the host cannot
// run it: windows and controls, menu bars, plug-in registration, member
// imports, the code pages, the project's classes and items (pictures among
// them), from the host fuzzer's real inputs and `make fuzz`'s corpora, then
// seeded mutations, each under the watchdog. Classes are the delivered
// image's, each standing in as its first built-in ancestor so that no
// application code runs. Needs VELLORY_FUZZ_SEEDS (`reader-fuzz --write-seeds`)
// and VELLORY_FUZZ_IMAGE (the .dat folder); VELLORY_FUZZ_CORPUS,
// VELLORY_FUZZ_INPUTS (per target) and VELLORY_FUZZ_TIMEOUT (s) may be given.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "described_window.h"
#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "plugins/embedded_plugins.h"
#include "plugins/plugin_registration.h"
#include "startup/deferred_imports.h"
#include "startup/entry_table.h"
#include "startup/project_items.h"
#include "tests/fuzz/in_place_image.h"
#include "ui/menu_bar.h"
#include "ui/menu_description.h"
#include "ui/runtime_ui.h"

namespace {

std::string Setting(const char* name, const char* otherwise = "") {
  const char* value = std::getenv(name);
  return value ? value : otherwise;
}

// Every file in `folder`, in name order; none when there is no such folder.
std::vector<Bytes> FilesIn(const std::filesystem::path& folder) {
  std::set<std::filesystem::path> names;
  std::error_code absent;
  for (const auto& entry : std::filesystem::directory_iterator(folder, absent)) names.insert(entry.path());
  std::vector<Bytes> files;
  for (const auto& name : names) files.push_back(FileBytes(name.string()));
  return files;
}

// Each class of the table standing in as its first built-in ancestor.
void StandIns() {
  std::vector<ClassRecord*> standIns;
  for (int32_t i = 0; i < ClassCount(); ++i) {
    ClassRecord* c = ClassAt(i);
    while (c && !c->builtIn) c = c->superclass;
    standIns.push_back(c);
  }
  SetClassTable(standIns.data(), static_cast<int32_t>(standIns.size()));
}

// Takes down what an input built; it must leave no object behind.
void ExpectNothingLeft(int32_t live, const char* what) {
  if (LiveObjectCount() == live) return;
  watchdog::Report(what);
  std::abort();
}

uint64_t gWindowsBuilt = 0;

void Window(const Bytes& b) {
  int32_t live = LiveObjectCount();
  if (ObjectRecord* window = CreateDescribedWindow(b)) {
    ++gWindowsBuilt;
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
  }
  ExpectNothingLeft(live, "left objects behind its window");
}

void MenuBar(const Bytes& b) {
  int32_t live = LiveObjectCount();
  BuildMenuBar(b.data(), Size(b));
  DestroyMenuBar();
  ExpectNothingLeft(live, "left objects behind its menu bar");
}

void __cdecl Nothing(ObjectRecord*) {}

// A plug-in control whose method, event, property type and interface list
// are the input; registration keeps them, as it keeps a plug-in's, for good.
void Declared(const Bytes& b) {
  const char* text = (new std::string(b.begin(), b.end()))->c_str();
  auto* method = new PluginMethodDefinition{reinterpret_cast<void*>(Nothing), nullptr, text};
  auto* event = new PluginEventDefinition{text, nullptr};
  auto* property = new PluginPropertyDefinition{};
  *property = {"Behavior", "Fuzzed", text, 0, ZORB_DEFAULT_ACCESSOR, 0, 4, 0, 0, nullptr};
  auto* d = new PluginControlDefinition{};
  d->version = 4, d->name = "FuzzedControl", d->dataSize = 16;
  d->properties = property, d->propertyCount = 1;
  d->methods = method, d->methodCount = 1;
  d->events = event, d->eventCount = 1;
  d->interfaceNames = text;
  RegisterControlDefinition(d);
}

void MemberImport(const Bytes& b) { ResolveMemberImport(std::string_view(reinterpret_cast<const char*>(b.data()), b.size())); }

// Text from every encoding the handheld's may be to every other, through
// the code pages and the runtime's own Japanese conversions.
void Converted(const Bytes& b) {
  const int32_t kEncodings[][2] = {{0x920, 0}, {0x820, 0}, {0xA01, 0}, {0x100, 0}, {0x100, 2}, {0x500, 0}, {0x422, 0}};
  StringRecord* text = NewString(b.data(), Size(b));
  for (const auto& from : kEncodings)
    for (const auto& to : kEncodings) {
      ObjectRecord* source = getTextEncoding(from[0], 0, from[1]);
      ObjectRecord* destination = getTextEncoding(to[0], 0, to[1]);
      ObjectRecord* converter = getTextConverter(source, destination);
      RuntimeUnlockString(textConverterConvert(converter, text));
      for (ObjectRecord* o : {source, destination, converter}) RuntimeUnlockObject(o);
    }
  RuntimeUnlockString(text);
}

// The project record, classes and items, linked and made as start-up does;
// the modules, standing in as built-in classes, are refused.
bool MakeProject(MemorySpan data, MemorySpan code) {
  uint32_t record = WordAt(static_cast<uint32_t>(data.start) + image::kProjectRecordField);
  ProjectLists lists;
  if (!ReadProjectLists(record, data, lists) || !LinkImageClasses(reinterpret_cast<uint32_t*>(record), data, code))
    return false;
  StandIns();
  CreateProjectItems(reinterpret_cast<const uint32_t*>(lists.items), lists.itemCount, data);
  DestroyMenuBar();
  return true;
}

// The delivered image's plug-ins, as its start hands over the list (the
// library's name is 12 bytes into its node), then its classes and items.
bool InstallImage(MemorySpan data, MemorySpan code) {
  RegisterBuiltInClasses();
  RegisterRuntimeWindowClasses();
  const char kName[] = "\x0dzorbplug1.dll";
  auto* bytes = reinterpret_cast<const uint8_t*>(data.start);
  Win32InstallPlugins(std::search(bytes, bytes + data.length, kName, kName + 14) - 12);
  InstallEmbeddedPlugins(data, PluginLookupEntryPoint);
  return MakeProject(data, code);
}

#ifdef VELLORY_TRACED_RUNTIME
// The runtime's blocks reached so far, a bit each by address (the runtime
// lies within 16 MB of its base), and how many were new since the last
// question. Plain memory: the runtime's code runs on while the process ends.
uint32_t gReached[1u << 19];
uint32_t gNewBlocks = 0;
extern "C" void __sanitizer_cov_trace_pc() {
  uintptr_t at = reinterpret_cast<uintptr_t>(__builtin_return_address(0)) & 0xFFFFFF;
  if (!(gReached[at >> 5] & 1u << (at & 31))) gReached[at >> 5] |= 1u << (at & 31), ++gNewBlocks;
}
const std::function<bool()> kReachedNew = [] { return std::exchange(gNewBlocks, 0) > 0; };
#else
const std::function<bool()> kReachedNew = nullptr;
#endif

TEST(BuildersUnderFuzz, TakeEveryInputWithoutCrashHangOrLeftObjects) {
  std::string seeds = Setting("VELLORY_FUZZ_SEEDS"), corpus = Setting("VELLORY_FUZZ_CORPUS");
  if (seeds.empty()) GTEST_SKIP() << "VELLORY_FUZZ_SEEDS is not set";
  RealSeeds real = LoadRealSeeds(Setting("VELLORY_FUZZ_IMAGE"), "");
  InPlaceImage inPlace(real);
  static std::string damage;
  SetAssertionRecorder([](const char* what) { damage += what; });  // reported, and read on
  inPlace.Run({}, InstallImage);
  // Its one module (Globals), standing in as a built-in class, is refused.
  ASSERT_EQ(damage, "a module item names a class that is no module's own");
  std::vector<ReaderTarget> targets = {
      {"windows", Shape::kStream, {}, Window, 0, [](const Bytes& b) { return WindowDescriptionReadsWhole(b.data(), Size(b)); }},
      {"menu-bar", Shape::kStream, {}, MenuBar, 0,
       [](const Bytes& b) {
         std::vector<MenuEntryDescription> menus;
         return ReadMenuBarDescription(b.data(), Size(b), menus);
       }},
      {"declarations", Shape::kBlind, {}, Declared},
      {"japanese-text", Shape::kBlind, {}, Converted},
      {"member-imports", Shape::kBlind, {Text("MTimer!Reset"), Text("GWindow!Title"), Text("SProgressBar!Value"),
       Text("WSerial!Baud"), Text("MBeep")}, MemberImport},
      {"project", Shape::kWords, {}, [&](const Bytes& b) { inPlace.Run(b, MakeProject); }, inPlace.DataLength()},
  };
  uint64_t inputs = std::stoull(Setting("VELLORY_FUZZ_INPUTS", "1000"));
  watchdog::Start(std::stoul(Setting("VELLORY_FUZZ_TIMEOUT", "10")), 1);
  for (ReaderTarget& t : targets) {
    for (const std::string& folder : {seeds, corpus})
      for (Bytes& b : folder.empty() ? std::vector<Bytes>{} : FilesIn(std::filesystem::path(folder) / t.name))
        t.seeds.push_back(std::move(b));
    ASSERT_FALSE(t.seeds.empty()) << "no inputs for " << t.name;
    Fuzz(t, inputs, 1, kReachedNew);
  }
  EXPECT_GT(gWindowsBuilt, inputs / 10) << "the windows' mutations seldom reach the builder";
}

}  // namespace
