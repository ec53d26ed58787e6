// The question box: the message box's caption and owner, but buttons the
// application names. The system's message box offers only its own fixed
// button sets, so the box is a dialog of the standard dialog class, built
// from a template in memory; the template only lists the controls, and the
// text is measured and everything placed once the dialog exists, in the
// font the dialog really got. The box runs the system's modal loop, inside
// a ForeignModalLoop scope so that the runtime's timers and polls go on.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "ui/event_loop.h"
#include "ui/drawing/gdi_scope.h"
#include "ui/native_window.h"

namespace {

// The text's control has the identifier message boxes give theirs; the
// buttons count up from an identifier clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Escape of its own accord.
constexpr WORD kTextId = 0xFFFF;
constexpr WORD kFirstButtonId = 100;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

struct Question {
  std::string caption;
  std::string_view text;
  std::vector<std::string> buttons;
};

// The captions, split at carriage returns; a trailing one ends the last
// caption rather than adding an empty one. No captions at all make one "OK".
std::vector<std::string> SplitButtons(std::string_view list) {
  std::vector<std::string> captions;
  while (!list.empty()) {
    size_t end = std::min(list.find('\r'), list.size());
    captions.emplace_back(list.substr(0, end));
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  if (captions.empty()) captions.emplace_back("OK");
  return captions;
}

// The message box's caption: "Message", or the frame's caption in
// multiple-document mode.
std::string Caption() {
  char buffer[256];
  HWND frame = MdiMode() ? MdiFrameHandle() : nullptr;
  int length = frame ? GetWindowTextA(frame, buffer, sizeof buffer) : 0;
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : "Message";
}

// --- the template ----------------------------------------------------------------

template <typename T>
void AppendWords(std::vector<WORD>& words, const T& record) {
  static_assert(sizeof(T) % sizeof(WORD) == 0);
  size_t at = words.size();
  words.resize(at + sizeof(T) / sizeof(WORD));
  std::memcpy(words.data() + at, &record, sizeof(T));
}

// An item, DWORD-aligned as the dialog manager requires: a control of a
// predefined class with no text (set later) and no creation data.
void AppendItem(std::vector<WORD>& words, DWORD style, WORD id, WORD classAtom) {
  if (words.size() % 2) words.push_back(0);
  DLGITEMTEMPLATE item{};
  item.style = WS_CHILD | WS_VISIBLE | style;
  item.id = id;
  AppendWords(words, item);
  words.insert(words.end(), {0xFFFF, classAtom, 0, 0});
}

// The dialog: a modal frame with a close box, the message font, the text's
// control and one push button per caption, the first the default. Sizes
// and places come in WM_INITDIALOG.
std::vector<WORD> BuildTemplate(size_t buttonCount) {
  std::vector<WORD> words;
  DLGTEMPLATE box{};
  box.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  box.cdit = static_cast<WORD>(buttonCount + 1);
  AppendWords(words, box);
  words.insert(words.end(), {0, 0, 0, 8});  // no menu, the dialog class, no title, 8 points
  for (wchar_t c : std::wstring_view(L"MS Shell Dlg")) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
  AppendItem(words, SS_LEFT | SS_NOPREFIX, kTextId, kStaticClass);
  for (size_t i = 0; i < buttonCount; ++i)
    AppendItem(words, WS_TABSTOP | (i ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON | WS_GROUP),
               static_cast<WORD>(kFirstButtonId + i), kButtonClass);
  return words;
}

// --- the layout ------------------------------------------------------------------

// Spacing in the dialog's own units, turned into pixels of its font.
struct Spacing {
  int margin, buttonGap, buttonHeight, minButtonWidth, maxTextWidth;
};

Spacing SpacingOf(HWND dialog) {
  RECT a = {7, 4, 50, 14}, b = {280, 0, 0, 0};
  MapDialogRect(dialog, &a);
  MapDialogRect(dialog, &b);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int widest = (work.right - work.left) * 3 / 4 - 2 * a.left;
  return {a.left, a.top, a.bottom, a.right, std::max(1, std::min<int>(b.left, widest))};
}

// The size `text` takes in `control`'s font within `width`, as DrawText
// with `format` lays it out.
SIZE Measure(HWND control, const std::string& text, int width, UINT format) {
  RECT r = {0, 0, width, 0};
  HDC dc = GetDC(control);
  if (!dc) return {0, 0};
  {
    SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)),
                        false);
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT | format);
  }
  ReleaseDC(control, dc);
  return {r.right - r.left, r.bottom - r.top};
}

// Gives the dialog a client area of `size`, centred over its owner (else
// the work area) and kept inside the work area.
void SizeAndCentre(HWND dialog, SIZE size) {
  RECT frame = {0, 0, size.cx, size.cy};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{}, over{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (!owner || IsIconic(owner) || !GetWindowRect(owner, &over)) over = work;
  int left = std::clamp<int>((over.left + over.right - width) / 2, work.left,
                             std::max<int>(work.left, work.right - width));
  int top = std::clamp<int>((over.top + over.bottom - height) / 2, work.top,
                            std::max<int>(work.top, work.bottom - height));
  SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Fills in the texts, wraps the text to at most the widest a box may be,
// fits each button to its caption, and puts the buttons in one row, centred
// under the text.
void Lay(HWND dialog, const Question& q) {
  SetWindowTextA(dialog, q.caption.c_str());
  std::string text(q.text);
  HWND textControl = GetDlgItem(dialog, kTextId);
  SetWindowTextA(textControl, text.c_str());
  Spacing s = SpacingOf(dialog);
  SIZE textSize =
      Measure(textControl, text, s.maxTextWidth, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  std::vector<int> widths;
  int row = 0;
  for (size_t i = 0; i < q.buttons.size(); ++i) {
    HWND button = GetDlgItem(dialog, kFirstButtonId + static_cast<int>(i));
    SetWindowTextA(button, q.buttons[i].c_str());
    int caption = Measure(button, q.buttons[i], 0, DT_SINGLELINE).cx;
    widths.push_back(std::max(s.minButtonWidth, caption + 2 * s.margin));
    row += widths.back() + (i ? s.buttonGap : 0);
  }
  int inside = std::max<int>(textSize.cx, row);
  MoveWindow(textControl, s.margin, s.margin, textSize.cx, textSize.cy, FALSE);
  int x = s.margin + (inside - row) / 2, y = 2 * s.margin + textSize.cy;
  for (size_t i = 0; i < widths.size(); ++i) {
    MoveWindow(GetDlgItem(dialog, kFirstButtonId + static_cast<int>(i)), x, y, widths[i],
               s.buttonHeight, FALSE);
    x += widths[i] + s.buttonGap;
  }
  SizeAndCentre(dialog, {inside + 2 * s.margin, y + s.buttonHeight + s.margin});
}

// --- the dialog ------------------------------------------------------------------

// A button ends the box with its number, Escape and the close box (the
// dialog manager's IDCANCEL) with 0.
INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto& q = *reinterpret_cast<const Question*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, static_cast<LONG_PTR>(q.buttons.size()));
    Lay(dialog, q);
    SendMessageA(dialog, DM_SETDEFID, kFirstButtonId, 0);
    SetFocus(GetDlgItem(dialog, kFirstButtonId));
    return FALSE;  // the focus is set
  }
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
  int id = LOWORD(wParam);
  if (id == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  int number = id - kFirstButtonId + 1;
  if (number < 1 || number > GetWindowLongPtrA(dialog, DWLP_USER)) return FALSE;
  EndDialog(dialog, number);
  return TRUE;
}

}  // namespace

extern "C" {

int32_t RuntimeAskQuestion(StringRecord* text, StringRecord* buttons) {
  Question q{Caption(), StringView(text), SplitButtons(StringView(buttons))};
  std::vector<WORD> form = BuildTemplate(q.buttons.size());
  ForeignModalLoop loop;
  INT_PTR answer = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(form.data()), NewWindowOwner(),
      QuestionProc, reinterpret_cast<LPARAM>(&q));
  return answer > 0 ? static_cast<int32_t>(answer) : 0;
}

}  // extern "C"
