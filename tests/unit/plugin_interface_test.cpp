// The plug-in interface with a real plug-in library (tests/plugins), installed
// once from an embedded plug-in list as start-up does: what it registered, and
// the behaviour calls it logs while its controls live in a real window.
#include <windows.h>

#include <gtest/gtest.h>

#include "described_window.h"
#include "menu_test_support.h"

#include <fstream>
#include <iterator>

#include "objects/class_table.h"
#include "plugins/embedded_plugins.h"
#include "plugins/plugin_registration.h"
#include "plugins/plugin_registry.h"
#include "sdk/entry_plugins.h"
#include "sdk/plugin_records.h"
#include "startup/deferred_imports.h"
#include "startup/entry_table.h"
#include "ui/drawing/pictures.h"
#include "ui/runtime_ui.h"

namespace {

using namespace menutest;

constexpr char kEmbeddedName[] = "vellory-test-plugin.dll";

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SystemPath(const char* name) {
  char dir[MAX_PATH] = {};
  return std::string(dir, GetSystemDirectoryA(dir, sizeof dir)) + "\\" + name;
}

// One node of an embedded plug-in list, laid out as the image carries it.
std::vector<uint8_t> Node(const std::string& name, const std::vector<uint8_t>& library) {
  std::vector<uint8_t> node(13 + name.size());  // no next node
  WriteU32LE(node.data() + 4, static_cast<uint32_t>(5 + name.size() + library.size()));
  node[12] = static_cast<uint8_t>(name.size());
  std::copy(name.begin(), name.end(), node.begin() + 13);
  node.insert(node.end(), library.begin(), library.end());
  return node;
}

MemorySpan SpanOf(const std::vector<uint8_t>& b) { return {reinterpret_cast<uintptr_t>(b.data()), b.size()}; }

std::string PluginLog() {
  auto log = reinterpret_cast<StringRecord*(__cdecl*)()>(FindPluginGlobalMethod("TestPluginLog", false));
  return log ? std::string(StringRef::Adopt(log()).View()) : "<no log method>";
}

class PluginInterface : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterBuiltInClasses();
    RegisterRuntimeWindowClasses();
    char path[MAX_PATH] = {};
    std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    library = ReadFile(exe.substr(0, exe.find_last_of("\\/") + 1) + "test-plugin.dll");  // beside the tests
    if (FindPluginClass("TestLamp")) return;  // installed by an earlier repeat
    // An older library of the same name and size is there from an earlier
    // version: start-up must replace it, not take it for its own.
    std::vector<uint8_t> older = library;
    if (!older.empty()) older.back() ^= 0xFF;
    std::ofstream(SystemPath(kEmbeddedName), std::ios::binary)
        .write(reinterpret_cast<const char*>(older.data()), static_cast<std::streamsize>(older.size()));
    list = Node(kEmbeddedName, library);
    Win32InstallPlugins(list.data());
    InstallEmbeddedPlugins(SpanOf(list), PluginLookupEntryPoint);
  }

  static inline std::vector<uint8_t> library, list;
};

TEST_F(PluginInterface, TheEmbeddedLibraryIsInstalledAndLoadedAndMalformedOnesAreSkipped) {
  ASSERT_FALSE(library.empty()) << "test-plugin.dll not found beside the tests";
  EXPECT_EQ(ReadFile(SystemPath(kEmbeddedName)), library);
  ASSERT_NE(FirstPlugin(), nullptr);
  EXPECT_EQ(FirstPlugin()->version, 4u) << "RegisterPluginVersion reached the plug-in's record";

  EmbeddedPlugin plugin;
  // A node is whole or refused (size word, 0 = as built; bytes cut off the block).
  const struct { const char* what; uint32_t size; std::string name; uint32_t cut; } damages[] = {
      {"smaller than its name", 4, "x.dll", 0}, {"library past the block", 0, "x.dll", 1},
      {"size past the block", 0x7FFFFFF0, "x.dll", 0}, {"header past the block", 0, "x.dll", 16},
      {"name leaves the folder", 0, "..\\evil.dll", 0}};
  for (const auto& d : damages) {
    std::vector<uint8_t> bad = Node(d.name, {1, 2, 3});
    if (d.size) WriteU32LE(bad.data() + 4, d.size);
    MemorySpan span = SpanOf(bad);
    span.length -= d.cut;
    EXPECT_FALSE(ReadEmbeddedPlugin(bad.data(), span, plugin)) << d.what;
  }
  // A node linking to itself, or back into the one before, is damage and ends the walk.
  std::vector<uint8_t> two = Node("a.dll", {1});
  std::vector<uint8_t> second = Node("b.dll", {2, 3});
  size_t secondAt = two.size();
  two.insert(two.end(), second.begin(), second.end());
  WriteU32LE(two.data(), reinterpret_cast<uint32_t>(two.data() + secondAt));
  std::vector<EmbeddedPlugin> read;
  ASSERT_TRUE(ReadEmbeddedPluginList(two.data(), SpanOf(two), read));
  ASSERT_EQ(read.size(), 2u);
  for (uint32_t back : {0u, 4u, static_cast<uint32_t>(secondAt)}) {
    WriteU32LE(two.data() + secondAt, reinterpret_cast<uint32_t>(two.data() + back));
    read.clear();
    EXPECT_FALSE(ReadEmbeddedPluginList(two.data(), SpanOf(two), read)) << back;
    EXPECT_EQ(read.size(), 2u);
  }

  PluginRecord* before = FirstPlugin();
  EXPECT_FALSE(LoadPluginLibrary("kernel32.dll", PluginLookupEntryPoint));
  EXPECT_FALSE(LoadPluginLibrary("C:\\no\\such\\library.dll", PluginLookupEntryPoint));
  EXPECT_EQ(FirstPlugin(), before) << "a library without ZORBPluginMain makes no record";
}

TEST_F(PluginInterface, AControlClassIsBuiltFromTheDefinitionOnlyInThePluginsMainAndLinksAndDrawsPictures) {
  ClassRecord* cls = FindPluginClass("TestLamp");
  ASSERT_NE(cls, nullptr);
  PluginControlDefinition* d = PluginControlOf(cls) ? PluginControlOf(cls)->definition : nullptr;
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(cls->instanceSize, 16u + 92u);
  // A version 2 definition is ignored; the interfaces named do not exist.
  EXPECT_EQ(FindPluginClass("TestVersion2"), nullptr);
  EXPECT_EQ(cls->interfaces, nullptr);

  const MethodRecord* bump = cls->methods;
  ASSERT_TRUE(bump && !bump->next);
  EXPECT_EQ(bump->entry.paramCount, 1u);
  EXPECT_STREQ(bump->entry.params[0].type, "Integer");

  ASSERT_NE(d->events[1].declarationRecord, nullptr);
  auto* down = static_cast<EventDeclaration*>(d->events[1].declarationRecord);
  EXPECT_EQ(StringView(down->name), "MouseDown");

  const PropertyRecord *caption = FindProperty(cls, "Caption"), *lit = FindProperty(cls, "Lit"),
                       *level = FindProperty(cls, "Level");
  ASSERT_TRUE(caption && lit && level);
  EXPECT_EQ(FindProperty(cls, "Gadget"), nullptr) << "its type names nothing";
  EXPECT_EQ(caption->setter, Code(stringSetter));
  EXPECT_EQ(lit->setter, Code(boolInvalidateSetter)) << "the property asks for redrawing";
  // The constructor slot set Level to 7 in the plug-in's data, where the default getter finds it.
  ObjectRecord* lamp = NewObjectOfClass(cls);
  auto get = reinterpret_cast<int32_t(__cdecl*)(ObjectRecord*, uint32_t)>(level->getter);
  EXPECT_EQ(get(lamp, level->param), 7);
  // A picture describes itself to a plug-in, which may draw it.
  std::vector<uint32_t> stored = {16, 2, 2, 8, 0x7FFF7FFFu, 0x7FFF7FFFu};  // 2 x 2 white (0x7FFF)
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("Picture"));
  ASSERT_TRUE(BuildPictureSurface(reinterpret_cast<PictureObject*>(object), stored.data()));
  PluginPictureDescription picture{};
  lockPictureDescription(object, &picture);
  EXPECT_EQ(std::make_pair(picture.width, picture.height), std::make_pair(2, 2));
  Canvas canvas(8, 8);
  PatBlt(canvas.dc, 0, 0, 8, 8, BLACKNESS);
  int32_t rect[4] = {2, 2, 6, 6};
  drawPicturePrimitive(canvas.dc, &picture, rect);
  for (int at : {2, 5}) EXPECT_EQ(canvas.At(at, at) & 0xF8F8F8, 0xF8F8F8u) << at;
  for (int at : {1, 6}) EXPECT_EQ(canvas.At(at, at), 0u) << at;
  unlockPictureDescription(object, &picture);
  EXPECT_NE(reinterpret_cast<PictureObject*>(object)->bitmap, nullptr) << "unlocking left the picture alone";
  RuntimeUnlockObject(object);
  RuntimeUnlockObject(lamp);
  // A read-only property has no setter; a kind letter other than M, W, G and S gives nothing.
  const std::pair<const char*, CodeAddress> rows[] = {
      {"Gtestlamp!level", Code(intFieldGetter)},
      {"STestLamp!Level", nullptr},
      {"QTestLamp!Level", nullptr},
      {"MTestLamp!Bump", reinterpret_cast<CodeAddress>(d->methods[0].routine)},
      {"", nullptr}};
  for (auto [name, address] : rows) EXPECT_EQ(ResolveMemberImport(name), address) << name;
  EXPECT_NE(ResolveMemberImport("MTestPluginLog"), nullptr) << "a plug-in's global method";
  // Registration from a plug-in routine called after start-up, or from anywhere else, is refused.
  auto late = reinterpret_cast<void(__cdecl*)()>(FindPluginGlobalMethod("TestPluginLateRegister", false));
  ASSERT_NE(late, nullptr);
  late();
  EXPECT_EQ(FindPluginClass("LateLamp"), nullptr);
  PluginMethodDefinition m{reinterpret_cast<void*>(&late), nullptr, "StrayMethod"};
  PluginRegisterMethod(&m);
  EXPECT_EQ(FindPluginGlobalMethod("StrayMethod", false), nullptr);
  PluginClassDefinition c{};
  c.name = "StrayClass";
  PluginRegisterClass(&c);
  EXPECT_EQ(FindPluginAwareClass("StrayClass"), nullptr);
}

// A default accessor on a field past the instance's data would reach outside the object.
TEST_F(PluginInterface, DefaultAccessorsAndExportIndicesStayInsideTheirMemory) {
  ClassRecord* cls = NewClassRecord("FieldProbe");
  cls->instanceSize = kPluginControlDataOffset + 8;
  constexpr uint32_t kDefault = ZORB_DEFAULT_ACCESSOR;
  const PluginPropertyDefinition defs[] = {
      {"", "Last", "Integer", 0, kDefault, kDefault, 4, 0, 0, nullptr},
      {"", "Straddles", "Integer", 0, kDefault, 0, 5, 0, 0, nullptr},
      {"", "LastByte", "Boolean", 0, 0, kDefault, 7, 0, 0, nullptr},
      {"", "Wraps", "Integer", 0, kDefault, kDefault, 0xFFFFFFFE, 0, 0, nullptr},
  };
  AddPluginProperties(cls, defs, 4, kPluginControlDataOffset, false);
  for (const char* kept : {"Last", "LastByte"}) EXPECT_NE(FindProperty(cls, kept), nullptr) << kept;
  for (const char* refused : {"Straddles", "Wraps"})
    EXPECT_EQ(FindProperty(cls, refused), nullptr) << refused;
  DestroyClassRecord(cls);

  // A control's data size is limited like an image class's instance size,
  // and one near 4 GB does not wrap to a small object.
  const uint32_t room = image::kMaxInstanceSize - kPluginControlDataOffset;
  const struct { const char* name; uint32_t size; bool kept; } sizes[] = {
      {"SizeProbeMost", room, true}, {"SizeProbePast", room + 1, false}, {"SizeProbeWraps", 0xFFFFFFF0u, false}};
  for (const auto& s : sizes) {
    PluginControlDefinition big{};
    big.version = 4;
    big.name = s.name;
    big.dataSize = s.size;
    ClassRecord* registered = RegisterControlDefinition(&big);
    EXPECT_EQ(registered ? registered->instanceSize : 0u, s.kept ? image::kMaxInstanceSize : 0u) << s.name;
  }

  // A version 1 definition names its methods by index into an export table
  // without a count: an index that leaves the table's memory gives no routine.
  constexpr DWORD page = 4096;  // the x86 page
  auto* base = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(base, nullptr);
  ASSERT_NE(VirtualAlloc(base, page, MEM_COMMIT, PAGE_READWRITE), nullptr);
  // Two entries ending where the committed page ends.
  auto* table = reinterpret_cast<PluginExportEntry*>(base + page - 2 * sizeof(PluginExportEntry));
  table[1].routine = reinterpret_cast<void*>(0x5678);
  for (uint32_t index : {2u, 3u, 4096u, 0x15555555u, 0xFFFFFFFFu})
    EXPECT_EQ(ExportEntry(table, index), nullptr) << index;
  EXPECT_EQ(ExportEntry(nullptr, 0), nullptr);

  PluginMethodDefinitionV1 methods[] = {{1, "Good"}, {7, "Beyond"}};
  PluginControlDefinitionV1 old{};
  old.methods = methods;
  old.methodCount = 2;
  PluginControlDefinition* converted = ConvertVersion1(old, table);
  EXPECT_EQ(converted->methods[0].routine, reinterpret_cast<void*>(0x5678));
  EXPECT_EQ(converted->methods[1].declaration, nullptr) << "a method without a routine is dropped";
  VirtualFree(base, 0, MEM_RELEASE);
}

// A window class of its own and the class table {that class, `control`}.
struct ClassTableWith {
  ScratchClasses scratch;
  ClassRecord* windowClass;
  ClassTableWith(const char* name, ClassRecord* control) : windowClass(scratch.Make(name, "Window")) {
    ClassRecord* table[] = {windowClass, control};
    SetClassTable(table, 2);
  }
  ~ClassTableWith() { SetClassTable(nullptr, 0); }
};

HWND WindowHandle(ObjectRecord* w) { return NativeWindowHandle(reinterpret_cast<WindowObject*>(w)->native); }

// A shown window holding one control "Plug" of class table entry 1, whose pane goes
// to `pane`. The plug-in's log starts empty.
ObjectRecord* PlugWindow(HWND* pane = nullptr) {
  PluginLog();
  std::vector<uint8_t> s;
  auto put = [&s](std::initializer_list<int32_t> ints, std::initializer_list<const char*> texts) {
    for (int32_t v : ints) PutPackedInt(s, v);
    for (const char* t : texts) PutPackedString(s, t);
  };
  // Six properties, class 0; one control of class 1 with six; no bindings.
  put({6, 0}, {"Name", "Plugins", "Title", "Plug-in test", "Frame", "0", "Width", "200", "Height", "120",
               "Visible", "True"});
  put({1, 1, 6},
      {"Name", "Plug", "Index", "-2147483648", "Left", "20", "Top", "30", "Width", "40", "Height", "24"});
  put({0}, {});
  ObjectRecord* window = CreateDescribedWindow(s);
  if (!window) return nullptr;
  ShowWindow(WindowHandle(window), SW_SHOW);
  UpdateWindow(WindowHandle(window));
  if (pane) {
    auto* plug = reinterpret_cast<RectControlObject*>(RuntimeControlFetch(window, Text("Plug").get()));
    *pane = plug && plug->pane ? plug->pane->Handle() : nullptr;
    EXPECT_EQ(plug ? GetControlHWND(&plug->control.header) : nullptr, *pane);
  }
  return window;
}

void CloseAndRelease(ObjectRecord* window) {
  CloseWindowObject(reinterpret_cast<WindowObject*>(window));
  RuntimeUnlockObject(window);
}

// The log since it was last read, with one draw for a run: windows may paint more than once.
std::string LogWithOneDraw() {
  std::string log = PluginLog();
  for (size_t at; (at = log.find("draw draw")) != std::string::npos;) log.erase(at, 5);
  return log;
}

void RunTasksFor(DWORD ms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
    RuntimeBackgroundTask();
    Sleep(10);
  }
}

// The periodic slot runs about every 160 ms while the pane exists; the mouse
// slots come in the order a user causes, even when one closes the window.
TEST_F(PluginInterface, ThePaneCallsTheBehaviourSlots) {
  ClassRecord* tickerClass = FindPluginClass("TestTicker");
  ASSERT_NE(tickerClass, nullptr) << "a version 3 definition is registered like version 4";
  ClassTableWith classes("PluginTickWindow", tickerClass);
  ObjectRecord* window = PlugWindow();
  ASSERT_NE(window, nullptr);
  RunTasksFor(600);
  // 600 ms at one run per 160 ms: three, give or take a slow start.
  std::string running = PluginLog();
  size_t ticks = 0;
  for (size_t at = 0; (at = running.find("tick", at)) != std::string::npos; at += 4) ++ticks;
  EXPECT_TRUE(ticks >= 2 && ticks <= 4) << running;
  CloseAndRelease(window);
  EXPECT_EQ(PluginLog(), "ticker-close");
  RunTasksFor(400);
  EXPECT_EQ(PluginLog(), "") << "the task went with its pane";

  ClassTableWith lampClasses("PluginTestWindow", FindPluginClass("TestLamp"));
  HWND pane = nullptr;
  window = PlugWindow(&pane);
  ASSERT_TRUE(window && pane);
  // A part to redraw: window coordinates in, the pane's own in its update region.
  ValidateRect(pane, nullptr);
  const PluginRect part{35, 25, 50, 30};  // top, left, bottom, right
  ZORBInvalidateControlRect(RuntimeControlFetch(window, Text("Plug").get()), &part);
  RECT dirty{};
  GetUpdateRect(pane, &dirty, FALSE);
  EXPECT_EQ(std::vector<LONG>({dirty.left, dirty.top, dirty.right, dirty.bottom}), std::vector<LONG>({5, 5, 10, 20}));
  ValidateRect(pane, nullptr);
  // Pane client coordinates in, window coordinates out to the plug-in.
  SendMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageA(pane, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(7, 8));
  SendMessageA(pane, WM_LBUTTONUP, 0, MAKELPARAM(9, 10));
  // Not tracking any more: a move or a release reaches no slot.
  SendMessageA(pane, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  SendMessageA(pane, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  // A press whose capture another window takes is over: no drag, no release.
  SendMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
  SetCapture(WindowHandle(window));
  SendMessageA(pane, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(pane, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  ReleaseCapture();
  CloseAndRelease(window);
  EXPECT_EQ(LogWithOneDraw(), "construct pane draw down(25,36) drag(27,38) up(29,40) down(21,32) close destroy");
  // A drag or release that closes the window: the pane holds the instance until the plug-in returns.
  auto closeOn = reinterpret_cast<void(__cdecl*)(int32_t)>(FindPluginGlobalMethod("TestPluginCloseOn", false));
  ASSERT_NE(closeOn, nullptr);
  const struct { int32_t when; const char* expected; } rows[] = {
      {1, "construct pane draw down(21,32) drag(22,33) close drag-done destroy"},
      {2, "construct pane draw down(21,32) up(22,33) close up-done destroy"},
  };
  for (const auto& row : rows) {
    closeOn(row.when);
    window = PlugWindow(&pane);
    ASSERT_TRUE(window && pane);
    SendMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
    SendMessageA(pane, row.when == 1 ? WM_MOUSEMOVE : WM_LBUTTONUP, 0, MAKELPARAM(2, 3));
    EXPECT_EQ(reinterpret_cast<WindowObject*>(window)->native, nullptr) << "the window is closed";
    RuntimeUnlockObject(window);
    EXPECT_EQ(LogWithOneDraw(), row.expected) << row.when;
  }
  closeOn(0);
}

}  // namespace
