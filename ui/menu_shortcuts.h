// Shortcut texts in the Windows notation ("Ctrl+Shft+T"): the one a menu
// item shows after its text, built from the designer's command key, and the
// one a key press composes. A key press chooses an item exactly when the two
// texts are equal ignoring case, so both sides are built here by the same
// rules. Pure: no Win32, tested on the host.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The shortcut of a command key ("K" -> "Ctrl+K", "Shift-T" -> "Ctrl+Shft+T",
// "/" -> "Ctrl+/", "F10" -> "F10"); empty for an empty command key.
std::string ShortcutOfCommandKey(std::string_view commandKey);

// The modifier keys held during a key press.
struct KeyModifiers {
  bool control = false;
  bool shift = false;
  bool alt = false;
};

// The name of a virtual key. `character` is what the keyboard layout puts on
// a punctuation key (0 when unknown); letters and digits are named by their
// virtual-key code, which is their upper-case character.
std::string KeyName(uint32_t virtualKey, char character);

// The text a key press composes: the modifiers in the order Ctrl+, Shft+,
// Alt+, then the key's name.
std::string KeyText(const KeyModifiers& modifiers, uint32_t virtualKey, char character);

// Equality ignoring the case of ASCII letters.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
