// The drawing port: the runtime's pen-and-colour layer over a GDI device
// context. Windows, panes and picture surfaces each own one; every Graphics
// handed out for them, and plug-ins drawing into a control, go through it, so
// the pen position, colour and font the application set stay with the
// surface rather than with whichever DC happens to be in use. The port never
// owns a DC: one is lent for a while (a paint's), or the port fetches its
// window's DC for the length of one operation.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/drawing/colours.h"

class DrawingPort {
 public:
  // A new port with one reference: font "System" 12 plain, a 1 x 1 pen,
  // black, visible, origin 0,0, nowhere to draw yet.
  DrawingPort();
  DrawingPort(const DrawingPort&) = delete;
  DrawingPort& operator=(const DrawingPort&) = delete;

  // The owner holds one reference and each Graphics another, so a Graphics
  // the application keeps outlives the window it drew on safely.
  void AddRef() { ++references_; }
  // Drops one reference; the port is deleted (its font released) with the last.
  void Release();

  // --- where drawing goes ----------------------------------------------------
  // Lends `dc` until the next call (null ends the loan). While lent, all
  // drawing and measuring uses it.
  void AttachDC(HDC dc) { dc_ = dc; }
  HDC AttachedDC() const { return dc_; }
  // The window whose DC the port fetches for each operation while no DC is
  // lent; null when there is none (drawing then does nothing).
  void SetWindow(HWND hwnd) { hwnd_ = hwnd; }
  HWND Window() const { return hwnd_; }

  // --- state -------------------------------------------------------------------
  POINT PenPosition() const { return pen_; }
  Colour16 ForeColour() const { return fore_; }
  void SetForeColour(Colour16 colour) { fore_ = colour; }
  int PenWidth() const { return penWidth_; }
  void SetPenWidth(int width) { penWidth_ = width; }
  // Kept for the application; lines are drawn with the pen width alone.
  int PenHeight() const { return penHeight_; }
  void SetPenHeight(int height) { penHeight_ = height; }
  // While clear, every drawing operation does nothing (measuring still works).
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  // Port coordinates minus the origin are device coordinates.
  POINT Origin() const { return origin_; }
  void SetOrigin(int x, int y) { origin_ = {x, y}; }

  // --- font --------------------------------------------------------------------
  // Every change drops the font and the cached metrics; the next text
  // operation acquires the font for the new request from the font cache.
  const std::string& FontName() const { return fontName_; }
  void SetFontName(std::string_view name);
  int FontSize() const { return fontSize_; }
  void SetFontSize(int size);
  bool Bold() const { return bold_; }
  void SetBold(bool on);
  bool Italic() const { return italic_; }
  void SetItalic(bool on);
  bool Underline() const { return underline_; }
  void SetUnderline(bool on);
  // The font for the current request (null only when GDI refuses it).
  HFONT Font();
  // Text metrics of the font, read from GDI once per font.
  const TEXTMETRICA& Metrics();

  // --- drawing, in port coordinates --------------------------------------------
  // Each drawing operation does nothing at all while the port is hidden or
  // has nowhere to draw.
  void MoveTo(int x, int y) { pen_ = {x, y}; }
  // A line in the fore colour, PenWidth wide, from the pen position to
  // (x, y), which becomes the pen position.
  void LineTo(int x, int y);
  // Four lines from the top-left corner clockwise back to it.
  void FrameRect(const RECT& r);
  // The rectangle filled with the fore colour, or with white.
  void FillRect(const RECT& r);
  void ClearRect(const RECT& r);
  // Ellipse and rounded rectangle (corner ellipse `ow` x `oh`) in `r`:
  // outlined with the pen, or filled with the fore colour.
  void FrameOval(const RECT& r);
  void FillOval(const RECT& r);
  void FrameRoundRect(const RECT& r, int ow, int oh);
  void FillRoundRect(const RECT& r, int ow, int oh);
  // Text with its (first) baseline at y, starting at x. With `wrapWidth` > 0
  // it is word-wrapped into a box from x to x + wrapWidth that is never cut
  // at the bottom.
  void DrawString(std::string_view text, int x, int y, int wrapWidth);
  // The wrapped form with an alignment of its lines: DT_LEFT, DT_CENTER or
  // DT_RIGHT (static texts draw themselves this way).
  void DrawTextBox(std::string_view text, int x, int y, int width, UINT align);
  // Width of `text` in the current font; line height and ascent of the font.
  int StringWidth(std::string_view text);
  int TextHeight() { return Metrics().tmHeight; }
  int TextAscent() { return Metrics().tmAscent; }
  // The colour of a pixel (black where there is none to read), and setting one.
  Colour16 Pixel(int x, int y);
  void SetPixel(int x, int y, Colour16 colour);
  // The `source` part of `bitmap` stretched onto `dest`.
  void DrawBitmap(HBITMAP bitmap, const RECT& source, const RECT& dest);

 private:
  ~DrawingPort();
  void DropFont();

  int references_ = 1;
  HDC dc_ = nullptr;
  HWND hwnd_ = nullptr;
  POINT pen_ = {0, 0};
  Colour16 fore_ = {0, 0, 0};
  int penWidth_ = 1, penHeight_ = 1;
  bool visible_ = true;
  POINT origin_ = {0, 0};
  std::string fontName_ = "System";
  int fontSize_ = 12;
  bool bold_ = false, italic_ = false, underline_ = false;
  HFONT font_ = nullptr;  // one use of the font cache's entry
  TEXTMETRICA metrics_ = {};
  bool metricsValid_ = false;
};
