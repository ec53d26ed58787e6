// Numbers to text and back: Str/CStr, Val/CDbl, Format, Hex and Oct.
// Applications put these texts in files, on the serial line and in front of
// the user, and read them back, so they must not depend on the user's locale:
// the point is always "." and the thousands separator always ",". Formatting
// and parsing therefore go through <charconv>, whose fixed and general forms
// are printf's "%.Nf" and "%.Ng" in the C locale (exponents of at least two
// digits, "1e-06"), rather than through the C library, whose output follows
// the current locale and which, in msvcrt, writes three exponent digits.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "objects/collation.h"
#include "objects/strings.h"

namespace {

// --- printf-style formatting ---------------------------------------------------

enum class Notation { kFixed, kGeneral };

// printf's "%.<precision>f" or "%.<precision>g" of x.
std::string PrintfStyle(double x, int32_t precision, Notation notation) {
  auto format =
      notation == Notation::kFixed ? std::chars_format::fixed : std::chars_format::general;
  // Enough for 309 integer digits, sign, point and exponent; doubled if not.
  std::string out(static_cast<size_t>(precision) + 400, '\0');
  for (;;) {
    auto [end, ec] = std::to_chars(out.data(), out.data() + out.size(), x, format, precision);
    if (ec == std::errc()) {
      out.resize(static_cast<size_t>(end - out.data()));
      return out;
    }
    out.resize(out.size() * 2);
  }
}

// --- Str ----------------------------------------------------------------------------

constexpr int32_t kStrPrecision = 7;

StringRecord* NumberToText(double x) {
  if (x == 0) x = 0;  // so that -0 reads "0"
  double magnitude = std::fabs(x);
  bool fixed = x == 0 || (magnitude >= 0.00001 && magnitude < 1000000);
  std::string text =
      PrintfStyle(x, kStrPrecision, fixed ? Notation::kFixed : Notation::kGeneral);
  if (fixed) {
    // Fixed notation always has a point here, so this only drops fraction zeros.
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return NewString(text);
}

// --- Val ------------------------------------------------------------------------------

// 0-9, then A-Z and a-z as 10-35; -1 for anything else.
int32_t RadixDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return -1;
}

uint32_t RadixOf(char selector) {
  switch (selector) {
    case 'h': case 'H': return 16;
    case 'o': case 'O': return 8;
    case 'b': case 'B': return 2;
    default: return 0;
  }
}

// "&h", "&o" and "&b" literals. Bytes that are not digits of the radix are
// skipped rather than ending the number, and hexadecimal accepts letters
// beyond F, so "&h1G" is 32; the accumulator wraps like the 32-bit integer
// it ends up as.
double RadixLiteral(std::string_view text) {
  uint32_t radix = RadixOf(text[1]);
  if (radix == 0) return 0;
  uint32_t value = 0;
  for (char c : text.substr(2)) {
    int32_t digit = RadixDigit(c);
    if (digit < 0) continue;
    if (radix != 16 && static_cast<uint32_t>(digit) >= radix) continue;
    value = value * radix + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(value);
}

bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number at the start of `p`: digits with an optional fraction
// ("5.", ".5") and an optional exponent, the exponent only when digits follow
// its sign, so "1e+x" reads as 1. Returns how many bytes it spans (0: none).
// `magnitude` is the power of ten of its leading digit, plus one, which is
// all an out-of-range result needs to tell overflow from underflow.
size_t MeasureNumber(const char* p, int64_t& magnitude) {
  const char* q = p;
  int64_t integerDigits = 0, fractionZeros = 0;
  bool anyDigit = false, nonZero = false;
  for (; IsDigit(*q); ++q) {
    anyDigit = true;
    nonZero = nonZero || *q != '0';
    if (nonZero) ++integerDigits;
  }
  if (*q == '.') {
    for (++q; IsDigit(*q); ++q) {
      anyDigit = true;
      if (!nonZero && *q == '0') ++fractionZeros;
      nonZero = nonZero || *q != '0';
    }
  }
  if (!anyDigit) return 0;
  magnitude = integerDigits > 0 ? integerDigits : -fractionZeros;

  const char* e = q;
  if (*e != 'e' && *e != 'E') return static_cast<size_t>(q - p);
  ++e;
  bool negativeExponent = *e == '-';
  if (*e == '+' || *e == '-') ++e;
  if (!IsDigit(*e)) return static_cast<size_t>(q - p);
  int64_t exponent = 0;
  for (; IsDigit(*e); ++e)
    if (exponent < 100000) exponent = exponent * 10 + (*e - '0');
  magnitude += negativeExponent ? -exponent : exponent;
  return static_cast<size_t>(e - p);
}

// Like scanf's "%lf": leading white space, an optional sign, a number; the
// scan stops at the first byte that cannot continue it. No number gives 0.
double ScanDecimal(const char* p) {
  while (IsScanSpace(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  int64_t magnitude = 0;
  size_t length = MeasureNumber(p, magnitude);
  if (length == 0) return 0;
  double value = 0;
  if (std::from_chars(p, p + length, value).ec == std::errc::result_out_of_range)
    value = magnitude > 0 ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

double TextToNumber(StringRecord* s) {
  std::string_view text = StringView(s);
  if (text.size() >= 2 && text[0] == '&') return RadixLiteral(text);
  return ScanDecimal(StringCText(s));
}

// --- Format ---------------------------------------------------------------------------

// What a mask section asks for, gathered before any digit is produced.
struct MaskLayout {
  int32_t integerPlaces = 0;
  int32_t fractionPlaces = 0;
  bool percent = false;
  bool thousands = false;
  bool exponent = false;
};

// The section of the mask that applies to x, with x made positive when the
// section shows negatives through the mask's own signs and brackets.
struct Section {
  std::string mask;
  double x;
  bool negative = false;
};

// The formatted number the mask places draw from.
struct Digits {
  std::string text;
  size_t ePos = 0;      // where the exponent starts; the text length when none
  size_t pointPos = 0;  // where the point is; ePos when none
  bool exponent = false;
};

Section ChooseSection(double x, StringRecord* mask) {
  if (CollateEqual(StringView(mask), "Scientific")) return {"-#.000000E+", x};
  StringRef delimiter = StringRef::Adopt(NewString(";"));
  int32_t sections = StringCountFields(mask, delimiter.get());
  Section section{{}, x};
  int32_t field = 1;
  if (x < 0) {
    section.negative = true;
    section.x = -x;
    if (sections >= 2) field = 2;
  } else if (!(x > 0) && sections >= 3) {  // zero, or not a number
    field = 3;
  }
  StringRef text = StringRef::Adopt(StringNthField(mask, delimiter.get(), field));
  section.mask = text.View();
  return section;
}

MaskLayout ReadMask(std::string_view mask) {
  MaskLayout layout;
  bool afterPoint = false;
  for (size_t m = 0; m < mask.size(); ++m) {
    switch (mask[m]) {
      case '\\': ++m; break;
      case '#': case '0': ++(afterPoint ? layout.fractionPlaces : layout.integerPlaces); break;
      case '.': afterPoint = true; break;
      case '%': layout.percent = true; break;
      case ',': layout.thousands = true; break;
      case 'e': case 'E': layout.exponent = true; break;
      default: break;
    }
  }
  return layout;
}

// Drops the zeros that end the fraction of text[0, end). Only a fraction is
// trimmed: general notation writes ten as "10", which must stay ten.
void TrimFractionZeros(std::string& text, size_t end) {
  size_t point = text.find('.');
  if (point >= end) return;
  size_t last = end;
  while (last > point + 1 && text[last - 1] == '0') --last;
  text.erase(last, end - last);
}

Digits MakeDigits(double x, const MaskLayout& layout) {
  if (x == 0) x = 0;  // -0 formats as 0
  int32_t f = layout.fractionPlaces;
  Digits d;
  d.text = layout.exponent ? PrintfStyle(x, f + 1, Notation::kGeneral)
                           : PrintfStyle(x, f, Notation::kFixed);
  d.text.erase(0, d.text.find_first_not_of(' '));
  size_t e = d.text.find_first_of("eE");
  if (f > 0) TrimFractionZeros(d.text, e == std::string::npos ? d.text.size() : e);
  e = d.text.find_first_of("eE");  // the trim may have moved it
  d.exponent = layout.exponent && e != std::string::npos;
  d.ePos = e == std::string::npos ? d.text.size() : e;
  // A mantissa without a point ("1e+04") has its point where the exponent starts.
  d.pointPos = std::min(d.text.find('.'), d.ePos);
  return d;
}

// Everything the second pass over the mask needs.
class MaskWriter {
 public:
  MaskWriter(const Section& section, const MaskLayout& layout, const Digits& digits)
      : section_(section), layout_(layout), digits_(digits) {}

  std::string Write() {
    const std::string& mask = section_.mask;
    for (size_t m = 0; m < mask.size(); ++m) {
      char c = mask[m];
      switch (c) {
        case '\\':
          if (m + 1 < mask.size()) out_ += mask[++m];
          break;
        case '#': case '0':
          if (afterPoint_) FractionPlace(c); else IntegerPlace(c);
          ++placeIndex_;
          break;
        case '.':
          if (afterPoint_) break;
          out_ += '.';
          afterPoint_ = true;
          placeIndex_ = 0;
          break;
        case '+':
          if (section_.negative) out_ += '-';
          else if (section_.x > 0) out_ += '+';
          break;
        case '-':
          if (section_.negative) out_ += '-';
          break;
        case '%': case '(': case ')':
          out_ += c;
          break;
        case 'e': case 'E':
          if (digits_.exponent) m = Exponent(m);
          break;
        default:  // other characters show only when escaped
          break;
      }
    }
    return out_;
  }

 private:
  int32_t PointPos() const { return static_cast<int32_t>(digits_.pointPos); }
  bool InDigits(int32_t k) const { return k >= 0 && static_cast<size_t>(k) < digits_.ePos; }

  void IntegerPlace(char place) {
    int32_t places = layout_.integerPlaces;
    if (placeIndex_ == 0 && PointPos() > places) {
      IntegerSurplus();
      return;
    }
    int32_t k = PointPos() + placeIndex_ - places;
    bool separator = layout_.thousands && placeIndex_ != 0 && (PointPos() - k) % 3 == 0;
    if (!InDigits(k) && place == '#') return;
    if (separator) out_ += ',';
    out_ += InDigits(k) ? digits_.text[static_cast<size_t>(k)] : '0';
  }

  // More integer digits than places: the first place takes all the extra ones.
  void IntegerSurplus() {
    int32_t count = PointPos() - layout_.integerPlaces + 1;
    for (int32_t j = 0; j < count; ++j) {
      if (layout_.thousands && j >= 1 && (PointPos() - j) % 3 == 0) out_ += ',';
      out_ += digits_.text[static_cast<size_t>(j)];
    }
  }

  void FractionPlace(char place) {
    int32_t k = PointPos() + placeIndex_ + 1;
    if (InDigits(k)) out_ += digits_.text[static_cast<size_t>(k)];
    else if (place == '0') out_ += '0';
  }

  // Writes the mask's "e"/"E" and the exponent of the digits; a "+" or "-"
  // right after it in the mask decides the exponent's sign and is used up.
  size_t Exponent(size_t m) {
    const std::string& mask = section_.mask;
    out_ += mask[m];
    std::string_view exponent = std::string_view(digits_.text).substr(digits_.ePos + 1);
    char next = m + 1 < mask.size() ? mask[m + 1] : '\0';
    if (next == '+') {
      bool hasSign = !exponent.empty() && (exponent[0] == '+' || exponent[0] == '-');
      if (!hasSign) out_ += '+';
    } else if (next == '-') {
      if (!exponent.empty() && exponent[0] == '+') exponent.remove_prefix(1);
    }
    out_ += exponent;
    return next == '+' || next == '-' ? m + 1 : m;
  }

  const Section& section_;
  const MaskLayout& layout_;
  const Digits& digits_;
  std::string out_;
  int32_t placeIndex_ = 0;
  bool afterPoint_ = false;
};

StringRecord* FormatNumber(double x, StringRecord* mask) {
  Section section = ChooseSection(x, mask);
  MaskLayout layout = ReadMask(section.mask);
  double value = layout.percent ? section.x * 100 : section.x;
  Digits digits = MakeDigits(value, layout);
  return NewString(MaskWriter(section, layout, digits).Write());
}

// --- Hex and Oct ---------------------------------------------------------------------

StringRecord* UnsignedInRadix(uint32_t n, uint32_t radix) {
  char text[32];
  char* p = text + sizeof text;
  do {
    *--p = "0123456789ABCDEF"[n % radix];
    n /= radix;
  } while (n != 0);
  return NewString(p, static_cast<int32_t>(text + sizeof text - p));
}

}  // namespace

extern "C" {

StringRecord* StringStr(double x) { return NumberToText(x); }
StringRecord* runCStr(double x) { return NumberToText(x); }
double StringVal(StringRecord* s) { return TextToNumber(s); }
double runCDbl(StringRecord* s) { return TextToNumber(s); }
StringRecord* StringFormat(double x, StringRecord* mask) { return FormatNumber(x, mask); }
StringRecord* RuntimeHex(int32_t n) { return UnsignedInRadix(static_cast<uint32_t>(n), 16); }
StringRecord* RuntimeOct(int32_t n) { return UnsignedInRadix(static_cast<uint32_t>(n), 8); }

}  // extern "C"
