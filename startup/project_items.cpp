// Making the project items' objects; see project_items.h. Each item is read
// whole first (project_record.cpp): a damaged item makes nothing rather than
// reading elsewhere, and says so.
#include "startup/project_items.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/process_globals.h"
#include "objects/runtime_messages.h"
#include "objects/strings.h"
#include "sdk/le_bytes.h"
#include "services/settings.h"
#include "startup/project_record.h"
#include "startup/resource_archive.h"
#include "ui/drawing/fonts.h"
#include "ui/menu_bar.h"
#include "ui/menu_description.h"
#include "ui/drawing/pictures.h"

namespace {

std::vector<ObjectRecord*> gProjectObjects;  // index = item number
std::vector<const ClassRecord*> gModuleClasses;  // of the module items made so far
bool gHasMenuBar = false;

// Whether `o` is one of the objects made from the project items so far.
bool IsProjectObject(const ObjectRecord* o) {
  if (!o) return false;
  for (const ObjectRecord* made : gProjectObjects)
    if (made == o) return true;
  return false;
}

// An object of the built-in class `name` whose first fields take `values`.
ObjectRecord* ValueObject(ClassRecord* cls, std::initializer_list<uint32_t> values) {
  ObjectRecord* o = NewObjectOfClass(cls);
  uint32_t offset = sizeof(ObjectRecord);
  if (!RuntimeCheck(cls->instanceSize >= offset + 4 * values.size(), "item class too small"))
    return o;
  for (uint32_t v : values) {
    FieldAt<uint32_t>(o, offset) = v;
    offset += 4;
  }
  return o;
}

ClassRecord* ResourceClass(int which) {
  // The two further resource items have classes of their own without names.
  static ClassRecord* classes[2] = {};
  if (!classes[which]) {
    classes[which] = NewClassRecord("");
    classes[which]->builtIn = 1;
    classes[which]->instanceSize = 28;
  }
  return classes[which];
}

ObjectRecord* MakePicture(const ProjectItem& item) {
  auto* d = reinterpret_cast<const uint32_t*>(item.bytes);
  ObjectRecord* o = ValueObject(FindBuiltInClass("Picture"), {item.value, reinterpret_cast<uint32_t>(d)});
  RuntimeCheck(BuildPictureSurface(reinterpret_cast<PictureObject*>(o), d), "picture not built");
  return o;
}

void ApplySettings(const ProjectItem& item) {
  AppSettings settings;
  RuntimeCheck(ParseSettings(item.bytes, item.length, settings), "settings cut short");
  std::vector<StringRef> messages;
  for (const std::string& m : settings.messages) messages.push_back(StringRef::Adopt(NewString(m)));
  std::vector<StringRecord*> handles;
  for (const StringRef& m : messages) handles.push_back(m.get());
  SetRuntimeMessages(handles.data(), static_cast<int32_t>(handles.size()));
  SetRuntimeCharset(CharsetForLanguage(settings.languageCode));
  CurrentSettings() = std::move(settings);
}

// Whether `cls` may be a module's class. The image builder makes each module
// a class of its own; one of the runtime's classes, a window's or a control's
// (whose instances entry points read as their layouts), or a class another
// module has already, can only come from damage.
bool IsModuleClass(const ClassRecord* cls) {
  if (!cls || cls->builtIn) return false;
  if (kClassOf<WindowObject>.Includes(cls) || kClassOf<ControlObject>.Includes(cls)) return false;
  return std::find(gModuleClasses.begin(), gModuleClasses.end(), cls) == gModuleClasses.end();
}

ObjectRecord* MakeModule(const ProjectItem& item) {
  auto index = static_cast<int32_t>(item.value);
  ClassRecord* cls = index >= 0 && index < ClassCount() ? ClassAt(index) : nullptr;
  if (!ImageCheck(IsModuleClass(cls), "a module item names a class that is no module's own"))
    return nullptr;
  gModuleClasses.push_back(cls);
  ObjectRecord* instance = RuntimeNewObject(index);
  auto*& stored = *reinterpret_cast<ObjectRecord**>(item.slot);
  RuntimeLockObject(instance);
  // The slot is the image's own word: only an instance made here (a second
  // item naming the same slot) is an object to release.
  if (IsProjectObject(stored)) RuntimeUnlockObject(stored);
  stored = instance;
  return instance;
}

void BuildMenus(const ProjectItem& item) {
  std::vector<MenuEntryDescription> menus;
  // The builder reads past a damaged stream quietly; damage is said here.
  if (RuntimeCheck(ReadMenuBarDescription(item.bytes, item.length, menus),
                   "the menu bar description is damaged"))
    gHasMenuBar = BuildMenuBar(item.bytes, item.length);
}

// A cursor from a 68-byte archive record: 16 rows of image bits, 16 rows of
// mask bits (big-endian words, 16 pixels each), then the hot spot (v, h).
HCURSOR CursorFromArchive(int32_t index) {
  HFILE file;
  uint32_t offset;
  uint8_t record[68];
  if (!FindArchiveItem(index, file, offset)) return nullptr;
  if (_llseek(file, static_cast<LONG>(offset), FILE_BEGIN) != static_cast<LONG>(offset) ||
      _lread(file, record, sizeof record) != sizeof record)
    return nullptr;
  uint8_t andMask[32], xorMask[32];
  for (int i = 0; i < 32; ++i) {
    uint8_t image = record[i], mask = record[32 + i];
    andMask[i] = static_cast<uint8_t>(~mask);
    xorMask[i] = static_cast<uint8_t>((mask & ~image) | (~mask & image));
  }
  int hotY = static_cast<int16_t>((record[64] << 8) | record[65]);
  int hotX = static_cast<int16_t>((record[66] << 8) | record[67]);
  int width = GetSystemMetrics(SM_CXCURSOR), height = GetSystemMetrics(SM_CYCURSOR);
  if (width != 16 || height != 16) {
    // Windows wants its own cursor size: pad the 16 x 16 image with transparency.
    std::vector<uint8_t> a(width * height / 8, 0xFF), x(width * height / 8, 0);
    for (int row = 0; row < 16 && row < height; ++row)
      for (int b = 0; b < 2 && b < width / 8; ++b) {
        a[row * (width / 8) + b] = andMask[row * 2 + b];
        x[row * (width / 8) + b] = xorMask[row * 2 + b];
      }
    return CreateCursor(gModuleHandle, hotX, hotY, width, height, a.data(), x.data());
  }
  return CreateCursor(gModuleHandle, hotX, hotY, 16, 16, andMask, xorMask);
}

ObjectRecord* MakeItem(uint32_t address, MemorySpan data) {
  ProjectItem item;
  if (!RuntimeCheck(ReadProjectItem(address, data, item), "a project item is damaged")) return nullptr;
  switch (item.type) {
    case kPictureItem: return MakePicture(item);
    case kMenuBarItem: BuildMenus(item); return nullptr;
    case kMovieItem: return ValueObject(FindBuiltInClass("Movie"), {item.value});
    case kSettingsItem: ApplySettings(item); return nullptr;
    case kModuleItem: return MakeModule(item);
    case kSoundItem:
      return ValueObject(FindBuiltInClass("Sound"), {item.value, reinterpret_cast<uint32_t>(item.bytes)});
    case kResourceItemA:
    case kResourceItemB:
      return ValueObject(ResourceClass(item.type == kResourceItemB), {item.value});
    case kMouseCursorItem: {
      HCURSOR cursor = CursorFromArchive(static_cast<int32_t>(item.value));
      return ValueObject(FindBuiltInClass("MouseCursor"), {reinterpret_cast<uint32_t>(cursor)});
    }
    case kDatabaseItem: {
      StringRecord* text = NewString(reinterpret_cast<const char*>(item.bytes), static_cast<int32_t>(item.length));
      return ValueObject(FindBuiltInClass("Database"), {reinterpret_cast<uint32_t>(text), item.first, item.second});
    }
    default: return nullptr;
  }
}

}  // namespace

void CreateProjectItems(const uint32_t* items, uint32_t count, MemorySpan data) {
  gProjectObjects.assign(count + 1, nullptr);
  gModuleClasses.clear();
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t item = ReadU32LE(reinterpret_cast<const uint8_t*>(items + i));  // not aligned when damaged
    if (item == 0) continue;
    gProjectObjects[i + 1] = MakeItem(item, data);
  }
}

bool ProjectHasMenuBar() { return gHasMenuBar; }

extern "C" ObjectRecord* RuntimeProjectObject(int32_t index) {
  if (index < 1 || static_cast<size_t>(index) >= gProjectObjects.size()) return nullptr;
  ObjectRecord* o = gProjectObjects[index];
  RuntimeLockObject(o);
  return o;
}
