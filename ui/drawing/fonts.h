// The process-wide cache of GDI fonts. Panes and drawing ports ask for fonts
// by the designer's names; a request that matches a cached font shares it,
// so a window full of controls in one font holds one GDI font.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

struct FontRequest {
  std::string_view name;  // the designer's name ("System", "Geneva", ...)
  int size = 12;          // character height in pixels
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// The Windows face name for a designer's font name ("System" and "Geneva"
// become "Tahoma", "Courier" "Courier New", ...).
std::string WindowsFaceName(std::string_view name);

// A font for `request`, with one use added; null only when GDI refuses.
// Every successful call is matched by one ReleaseFont.
HFONT AcquireFont(const FontRequest& request);
// Drops one use; the font is deleted with its last use. Null is ignored.
void ReleaseFont(HFONT font);

// The character set fonts are made with (from the application's language
// setting; DEFAULT_CHARSET until start-up sets it).
void SetRuntimeCharset(int charset);
int RuntimeCharset();

// Fonts in the cache now: for tests of the sharing rules.
size_t CachedFontCount();
