// The table from encoding bases to code pages. Runs of consecutive bases
// that map to consecutive code pages are kept as runs, so that the table
// reads like the list it comes from.
#include "services/code_pages.h"

namespace {

struct Run {
  uint32_t firstBase, lastBase, firstCodePage;
};

const Run kRuns[] = {
    {0x000, 0x000, 10000}, {0x001, 0x001, 10001}, {0x006, 0x006, 10006}, {0x007, 0x007, 10007},
    {0x023, 0x023, 10081}, {0x025, 0x025, 10079}, {0x206, 0x206, 708},   {0x400, 0x400, 437},
    {0x405, 0x405, 737},   {0x406, 0x406, 775},   {0x416, 0x41B, 861},
    {0x41C, 0x41C, 869},   {0x41D, 0x41D, 874},   {0x420, 0x420, 932},   {0x421, 0x421, 936},
    {0x422, 0x422, 949},   {0x423, 0x423, 950},   {0x500, 0x500, 1252},  {0x501, 0x502, 1250},
    {0x503, 0x508, 1253},  {0x510, 0x510, 1361},  {0x600, 0x600, 1252},  {0x631, 0x631, 936},
    {0x820, 0x820, kIso2022JpCodePage},           {0x920, 0x920, kEucJpCodePage},
    {0xA01, 0xA01, 932},   {0xC01, 0xC01, 37},    {0xC02, 0xC02, 37},
};

// 0x410..0x415 are not one run of code pages: 850, 851, 852, 855, 857, 860.
uint32_t DosLatinCodePage(uint32_t base) {
  static const uint32_t kPages[] = {850, 851, 852, 855, 857, 860};
  return kPages[base - 0x410];
}

uint32_t UnicodeCodePage(uint32_t format) {
  switch (format) {
    case 0: return kUtf16CodePage;
    case 1: return 65000;
    case 2: return 65001;
    default: return 0;
  }
}

}  // namespace

uint32_t CodePageForEncoding(uint32_t base, uint32_t format) {
  if (base == 0x100 || base == 0x101 || base == 0x103) return UnicodeCodePage(format);
  if (base >= 0x410 && base <= 0x415) return DosLatinCodePage(base);
  for (const Run& run : kRuns) {
    if (base < run.firstBase || base > run.lastBase) continue;
    return run.firstCodePage + (base - run.firstBase);
  }
  return 0;
}

bool IsJapaneseFamily(uint32_t codePage) {
  return codePage == kShiftJisCodePage || codePage == kEucJpCodePage ||
         codePage == kIso2022JpCodePage;
}
