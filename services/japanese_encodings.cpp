// Shift-JIS, EUC-JP and ISO-2022-JP through the JIS X 0208 row and cell
// (each 0x21..0x7E). EUC-JP sets the high bit of both bytes; ISO-2022-JP
// sends them as they are, between escape sequences that switch modes;
// Shift-JIS folds two rows into one lead byte. Half-width katakana are one
// byte 0xA1..0xDF in Shift-JIS, 0x8E and that byte in EUC-JP, and the byte
// less 0x80 in ISO-2022-JP's katakana mode.
#include "services/japanese_encodings.h"

#include <cstdint>

namespace {

struct Jis {
  uint8_t row, cell;  // 0x21..0x7E each when valid
};

bool InJisRange(uint8_t b) { return b >= 0x21 && b <= 0x7E; }
bool IsKana(uint8_t b) { return b >= 0xA1 && b <= 0xDF; }
bool IsSjisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsSjisTrail(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

void AppendSjis(std::string& out, Jis j) {
  uint8_t lead = static_cast<uint8_t>(((j.row + 1) >> 1) + (j.row <= 0x5E ? 0x70 : 0xB0));
  uint8_t trail;
  if (j.row & 1)
    trail = static_cast<uint8_t>(j.cell + (j.cell >= 0x60 ? 0x20 : 0x1F));
  else
    trail = static_cast<uint8_t>(j.cell + 0x7E);
  out += static_cast<char>(lead);
  out += static_cast<char>(trail);
}

// The JIS code of a Shift-JIS pair; row 0 when the pair has none (the
// user-defined lead bytes 0xF0.. reach past the last row).
Jis JisOfSjis(uint8_t lead, uint8_t trail) {
  int row = (lead - (lead <= 0x9F ? 0x70 : 0xB0)) * 2;
  int cell;
  if (trail >= 0x9F) {
    cell = trail - 0x7E;
  } else {
    row -= 1;
    cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
  }
  if (!InJisRange(static_cast<uint8_t>(row)) || row > 0x7E || !InJisRange(static_cast<uint8_t>(cell)))
    return {0, 0};
  return {static_cast<uint8_t>(row), static_cast<uint8_t>(cell)};
}

uint8_t Byte(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

// Walks Shift-JIS text, handing each character to one of three sinks.
template <typename Single, typename Kana, typename Double>
void WalkShiftJis(std::string_view sjis, Single single, Kana kana, Double twoByte) {
  for (size_t i = 0; i < sjis.size(); ++i) {
    uint8_t b = Byte(sjis, i);
    if (IsKana(b)) {
      kana(b);
    } else if (IsSjisLead(b)) {
      if (i + 1 >= sjis.size() || !IsSjisTrail(Byte(sjis, i + 1))) {
        single('?');
        continue;
      }
      twoByte(JisOfSjis(b, Byte(sjis, ++i)));
    } else {
      single(b);
    }
  }
}

enum class IsoMode { kAscii, kTwoByte, kKana };

const char kToAscii[] = "\x1B(B";
const char kToTwoByte[] = "\x1B$B";
const char kToKana[] = "\x1B(I";

// The mode an escape sequence at `at` selects, and its length; 0 when the
// bytes there are not a known escape sequence.
size_t ReadEscape(std::string_view s, size_t at, IsoMode& mode) {
  std::string_view rest = s.substr(at);
  if (rest.size() < 3) return 0;
  std::string_view seq = rest.substr(0, 3);
  if (seq == "\x1B$B" || seq == "\x1B$@") mode = IsoMode::kTwoByte;
  else if (seq == "\x1B(B" || seq == "\x1B(J") mode = IsoMode::kAscii;
  else if (seq == "\x1B(I") mode = IsoMode::kKana;
  else return 0;
  return 3;
}

}  // namespace

std::string EucJpToShiftJis(std::string_view euc) {
  std::string out;
  out.reserve(euc.size());
  for (size_t i = 0; i < euc.size(); ++i) {
    uint8_t b = Byte(euc, i);
    bool hasNext = i + 1 < euc.size();
    if (b == 0x8E && hasNext && IsKana(Byte(euc, i + 1))) {
      out += euc[++i];
    } else if (b == 0x8F) {
      // A JIS X 0212 character: three bytes with no Shift-JIS form.
      i += 2;
      out += '?';
    } else if (b >= 0xA1 && b <= 0xFE) {
      uint8_t next = hasNext ? Byte(euc, i + 1) : 0;
      if (next < 0xA1 || next > 0xFE) {
        out += '?';
        continue;
      }
      AppendSjis(out, {static_cast<uint8_t>(b & 0x7F), static_cast<uint8_t>(next & 0x7F)});
      ++i;
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

std::string ShiftJisToEucJp(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  WalkShiftJis(
      sjis, [&](uint8_t b) { out += static_cast<char>(b); },
      [&](uint8_t k) {
        out += '\x8E';
        out += static_cast<char>(k);
      },
      [&](Jis j) {
        if (!j.row) {
          out += '?';
          return;
        }
        out += static_cast<char>(j.row | 0x80);
        out += static_cast<char>(j.cell | 0x80);
      });
  return out;
}

std::string Iso2022JpToShiftJis(std::string_view iso) {
  std::string out;
  out.reserve(iso.size());
  IsoMode mode = IsoMode::kAscii;
  for (size_t i = 0; i < iso.size(); ++i) {
    uint8_t b = Byte(iso, i);
    if (b == 0x1B) {
      if (size_t length = ReadEscape(iso, i, mode)) {
        i += length - 1;
        continue;
      }
    }
    if (b == 0x0E || b == 0x0F) {  // shift out / in: katakana in some senders
      mode = b == 0x0E ? IsoMode::kKana : IsoMode::kAscii;
      continue;
    }
    if (mode == IsoMode::kKana && b >= 0x21 && b <= 0x5F) {
      out += static_cast<char>(b + 0x80);
    } else if (mode == IsoMode::kTwoByte && InJisRange(b)) {
      if (i + 1 >= iso.size() || !InJisRange(Byte(iso, i + 1))) {
        out += '?';
        continue;
      }
      AppendSjis(out, {b, Byte(iso, ++i)});
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

std::string ShiftJisToIso2022Jp(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + 8);
  IsoMode mode = IsoMode::kAscii;
  auto enter = [&](IsoMode wanted, const char* escape) {
    if (mode == wanted) return;
    out += escape;
    mode = wanted;
  };
  WalkShiftJis(
      sjis,
      [&](uint8_t b) {
        enter(IsoMode::kAscii, kToAscii);
        out += static_cast<char>(b);
      },
      [&](uint8_t k) {
        enter(IsoMode::kKana, kToKana);
        out += static_cast<char>(k - 0x80);
      },
      [&](Jis j) {
        if (!j.row) {
          enter(IsoMode::kAscii, kToAscii);
          out += '?';
          return;
        }
        enter(IsoMode::kTwoByte, kToTwoByte);
        out += static_cast<char>(j.row);
        out += static_cast<char>(j.cell);
      });
  enter(IsoMode::kAscii, kToAscii);
  return out;
}

uint32_t GuessJapaneseBase(std::string_view text) {
  if (text.find("\x1B$B") != std::string_view::npos || text.find("\x1B$@") != std::string_view::npos)
    return 0x820;
  int sjisOnly = 0, eucOnly = 0, high = 0;
  for (char c : text) {
    auto b = static_cast<uint8_t>(c);
    if (b < 0x80) continue;
    ++high;
    // Bytes EUC-JP never uses as a first byte, but Shift-JIS does.
    if ((b >= 0x81 && b <= 0x8D) || (b >= 0x90 && b <= 0x9F)) ++sjisOnly;
    // Bytes past Shift-JIS's lead range.
    if (b >= 0xFD) ++eucOnly;
  }
  if (!high) return 0;
  if (eucOnly > sjisOnly) return 0x920;
  if (sjisOnly) return 0xA01;
  // Only bytes 0xA0 and above: EUC-JP pairs are likelier than runs of
  // half-width katakana.
  return 0x920;
}
