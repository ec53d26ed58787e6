// Drawing the BevelButton: black frame, bevel rings, fill, then icon and
// caption clipped to the fill, and the menu mark outside that clip.
#include "plugin_library/bevel_button.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/runtime_services.h"

namespace {

// Light edge (top and left) and dark edge (bottom and right) of the rings.
void DrawRings(HDC dc, PlugRect& r, const BevelButtonData& d) {
  bool sunk = d.pressed || d.value;
  COLORREF lit = GetSysColor(sunk ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  COLORREF dark = GetSysColor(d.pressed && !d.value ? COLOR_BTNFACE : COLOR_BTNSHADOW);
  int rings = d.bevel < 0 ? 1 : (d.bevel > 2 ? 3 : d.bevel + 1);
  for (int i = 0; i < rings; ++i) {
    RingEdges edges = BevelRingEdges(r);
    DrawPolyline(dc, edges.lit, 3, lit);
    DrawPolyline(dc, edges.dark, 3, dark);
    r = PlugInset(r, 1);
  }
}

// The caption's font from TextFont, TextSize and the style bytes; the caller deletes it.
HFONT CaptionFont(const BevelButtonData& d) {
  return CreateFontA(-d.textSize, 0, 0, 0, d.bold ? FW_BOLD : FW_NORMAL, d.italic, d.underline, 0,
                     Win32Charset(), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, StringText(d.textFont));
}

// Draws the icon when there is one and says where it went.
CaptionLayout PlaceIcon(HDC dc, BevelButtonData& d, PlugRect r) {
  CaptionLayout layout{};
  layout.placement = d.captionPlacement;
  layout.align = d.captionAlign;
  layout.delta = d.captionDelta;
  if (!d.icon) return layout;
  int w = d.iconDescription.width, h = d.iconDescription.height;
  PlugPoint at = BevelIconOrigin(r, w, h, d.iconAlign, d.iconDX, d.iconDY);
  RECT where{at.x, at.y, at.x + w, at.y + h};
  DrawPicture(dc, &d.iconDescription, &where);
  layout.hasIcon = true;
  layout.icon = at;
  layout.iconWidth = w;
  layout.iconHeight = h;
  return layout;
}

// Transparent text on the baseline; disabled text embossed.
void DrawCaption(HDC dc, const char* text, PlugPoint at, bool enabled, bool pressed) {
  int length = lstrlenA(text);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  if (enabled) {
    SetTextColor(dc, pressed ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNTEXT));
    TextOutA(dc, at.x, at.y, text, length);
    return;
  }
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  TextOutA(dc, at.x + 1, at.y + 1, text, length);
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  TextOutA(dc, at.x, at.y, text, length);
}

// Icon and caption, clipped to `r`; the DC's clip, colours and font are
// restored before returning.
void DrawContent(HDC dc, BevelButtonData& d, PlugRect r, bool enabled) {
  HFONT font = CaptionFont(d);
  {
    SavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    if (font) SelectObject(dc, font);
    const char* text = StringText(d.caption);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    CaptionLayout layout = PlaceIcon(dc, d, r);
    CaptionMetrics m{extent.cx, tm.tmAscent, tm.tmDescent, tm.tmExternalLeading};
    DrawCaption(dc, text, BevelCaptionOrigin(r, m, layout), enabled, d.pressed);
  }
  if (font) DeleteObject(font);
}

}  // namespace

void __cdecl DrawBevelButton(PlugInstance instance, PlugObject graphics) {
  ControlCanvas canvas(instance, graphics);
  HDC dc = canvas.dc();
  if (!dc) return;
  BevelButtonData& d = *BevelData(instance);
  bool enabled = ControlEnabled(instance);
  PlugRect bounds = ToPlugRect(ControlBounds(instance));
  SavedDC saved(dc);
  RECT frame = ToRect(bounds);
  FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  PlugRect r = PlugInset(bounds, 1);
  if (enabled) DrawRings(dc, r, d);
  FillSysColour(dc, r, d.value ? COLOR_BTNSHADOW : COLOR_BTNFACE);
  DrawContent(dc, d, r, enabled);
  FillBlackShape(dc, BevelMenuMark(r, d.hasMenu));
}

void RedrawBevelButton(PlugInstance instance) { DrawBevelButton(instance, nullptr); }
