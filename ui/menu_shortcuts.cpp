// Shortcut texts; see menu_shortcuts.h. Function keys from F10 up are named
// with their full number, so that a command key such as "F10" (which sets no
// modifier) matches the plain key.
#include "ui/menu_shortcuts.h"

#include <vector>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    size_t dash = text.find('-', start);
    if (dash == std::string_view::npos) {
      out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, dash - start));
    start = dash + 1;
  }
}

std::string Compose(const KeyModifiers& m, std::string_view key) {
  std::string out;
  if (m.control) out += "Ctrl+";
  if (m.shift) out += "Shft+";
  if (m.alt) out += "Alt+";
  out += key;
  return out;
}

// Virtual keys 0x20 to 0x2F, in code order.
const char* const kBlockNames[] = {"Space", "PgUp",   "PgDn",    "End",      "Home", "Left",
                                   "Up",    "Right",  "Down",    "Select",   "Print", "Execute",
                                   "Snapshot", "Ins", "Del",     "Help"};

const char* NamedKey(uint32_t vk) {
  switch (vk) {
    case 0x1B: return "Esc";
    case 0x08: return "Bsp";
    case 0x09: return "Tab";
    case 0x0C: return "Clr";
    case 0x0D: return "Enter";
    default: break;
  }
  if (vk >= 0x20 && vk <= 0x2F) return kBlockNames[vk - 0x20];
  return nullptr;
}

constexpr uint32_t kF1 = 0x70, kF24 = 0x87;
constexpr uint32_t kFirstPunctuationKey = 0xBA;  // VK_OEM_1

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string ShortcutOfCommandKey(std::string_view commandKey) {
  if (commandKey.empty()) return {};
  std::vector<std::string_view> fields = Fields(commandKey);
  KeyModifiers m;
  for (std::string_view f : fields) {
    if (SameTextIgnoringCase(f, "Shift")) m.shift = true;
    if (SameTextIgnoringCase(f, "Control")) m.control = true;
    if (SameTextIgnoringCase(f, "Alt")) m.alt = true;
  }
  std::string_view key = fields.back().empty() ? std::string_view("-") : fields.back();
  if (key.size() == 1) m.control = true;
  return Compose(m, key);
}

std::string KeyName(uint32_t virtualKey, char character) {
  if (const char* named = NamedKey(virtualKey)) return named;
  if (virtualKey >= kF1 && virtualKey <= kF24) return "F" + std::to_string(virtualKey - kF1 + 1);
  // The code of a punctuation key is no character; the layout's is.
  if (virtualKey >= kFirstPunctuationKey && character) return std::string(1, character);
  return std::string(1, static_cast<char>(virtualKey));
}

std::string KeyText(const KeyModifiers& modifiers, uint32_t virtualKey, char character) {
  return Compose(modifiers, KeyName(virtualKey, character));
}
