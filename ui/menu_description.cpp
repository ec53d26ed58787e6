// Menu bar descriptions; see menu_description.h. Every top-level entry is
// followed by its level; below the top level only an entry whose has-submenu
// byte is set is followed by one.
#include "ui/menu_description.h"

#include "objects/description_stream.h"

namespace {

constexpr int kDeepestLevel = 8;

bool ReadLevel(DescriptionStream& s, int depth, std::vector<MenuEntryDescription>& out);

MenuEntryDescription ReadEntry(DescriptionStream& s) {
  MenuEntryDescription e;
  e.kind = s.PackedInt();
  e.text = s.PackedString();
  e.name = s.PackedString();
  e.index = NormalisedMenuIndex(s.PackedInt());
  e.commandKey = s.PackedString();
  e.help = s.PackedString();
  e.disabledHelp = s.PackedString();
  s.Byte();  // a flag the designer writes; nothing reads it
  e.hasSubmenu = s.Byte() != 0;
  e.classIndex = s.PackedInt();
  return e;
}

bool ReadLevel(DescriptionStream& s, int depth, std::vector<MenuEntryDescription>& out) {
  if (depth > kDeepestLevel) return false;
  int32_t count = s.PackedInt();
  if (count < 0) return false;
  for (int32_t i = 0; i < count; ++i) {
    MenuEntryDescription e = ReadEntry(s);
    bool followed = depth == 0 || e.hasSubmenu;
    if (followed && !ReadLevel(s, depth + 1, e.items)) return false;
    // Each entry takes bytes, so a count larger than the stream stops here.
    if (s.Overrun()) return false;
    out.push_back(std::move(e));
  }
  return true;
}

}  // namespace

int32_t NormalisedMenuIndex(int32_t stored) {
  if (stored == static_cast<int32_t>(0x80000010u) || stored == static_cast<int32_t>(0x80100000u))
    return kNotAnArrayElement;
  return stored;
}

bool ReadMenuBarDescription(const uint8_t* bytes, uint32_t length,
                            std::vector<MenuEntryDescription>& menus) {
  menus.clear();
  DescriptionStream s(bytes, length);
  if (!ReadLevel(s, 0, menus) || s.Overrun()) {
    menus.clear();
    return false;
  }
  return true;
}
