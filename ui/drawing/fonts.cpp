// The font cache. Entries are few (an application uses a handful of fonts),
// so a list searched from the front is enough; keys compare face names
// without regard to letter case, as GDI does.
#include "ui/drawing/fonts.h"

#include <vector>

namespace {

struct CachedFont {
  std::string name;  // the designer's name, as requested
  int size;
  bool bold, italic, underline;
  HFONT font;
  int uses;
};

std::vector<CachedFont> gFonts;
int gCharset = DEFAULT_CHARSET;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(),
                                                static_cast<int>(a.size()), b.data(),
                                                static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool Matches(const CachedFont& f, const FontRequest& r) {
  return f.size == r.size && f.bold == r.bold && f.italic == r.italic &&
         f.underline == r.underline && SameName(f.name, r.name);
}

HFONT MakeFont(const FontRequest& r) {
  std::string face = WindowsFaceName(r.name);
  return CreateFontA(-r.size, 0, 0, 0, r.bold ? FW_BOLD : FW_NORMAL, r.italic, r.underline, FALSE,
                     static_cast<DWORD>(gCharset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

std::string WindowsFaceName(std::string_view name) {
  struct Mapping {
    const char* designer;
    const char* windows;
  };
  static const Mapping kMappings[] = {
      {"System", "Tahoma"},            {"Application", "Tahoma"},
      {"Geneva", "Tahoma"},            {"Courier", "Courier New"},
      {"Times", "Times New Roman"},    {"Helvetica", "Arial"},
      {"Osaka", "MS UI Gothic"},
  };
  for (const Mapping& m : kMappings)
    if (SameName(name, m.designer)) return m.windows;
  return std::string(name);
}

HFONT AcquireFont(const FontRequest& request) {
  for (CachedFont& f : gFonts)
    if (Matches(f, request)) {
      ++f.uses;
      return f.font;
    }
  HFONT font = MakeFont(request);
  if (!font) return nullptr;
  gFonts.push_back({std::string(request.name), request.size, request.bold, request.italic,
                    request.underline, font, 1});
  return font;
}

void ReleaseFont(HFONT font) {
  if (!font) return;
  for (auto it = gFonts.begin(); it != gFonts.end(); ++it) {
    if (it->font != font) continue;
    if (--it->uses > 0) return;
    DeleteObject(it->font);
    gFonts.erase(it);
    return;
  }
}

void SetRuntimeCharset(int charset) { gCharset = charset; }
int RuntimeCharset() { return gCharset; }
size_t CachedFontCount() { return gFonts.size(); }
