// rnd: the minimal-standard multiplicative generator (16807^n modulo 2^31 - 1).
// Applications use it for jitter and shuffling, not for anything that needs
// unpredictability, so one process-wide seed taken from the tick count is
// enough. Schrage's decomposition keeps every step inside 32-bit signed
// arithmetic, which is what fixes the sequence for a given seed.
#include <windows.h>

#include <cstdint>

#include "objects/random.h"
#include "sdk/vellory.h"

namespace {

constexpr int32_t kModulus = 2147483647;  // 2^31 - 1, prime
constexpr int32_t kMultiplier = 16807;
constexpr int32_t kQuotient = kModulus / kMultiplier;   // 127773
constexpr int32_t kRemainder = kModulus % kMultiplier;  // 2836

constexpr uint32_t kResultBits = 0xFFFFF;
constexpr double kResultScale = 1048576.0;  // 2^20

int32_t gSeed = 0;

// 0 and the modulus itself are fixed points of the generator (both are 0
// modulo 2^31 - 1): a seed of either would make every result the same.
int32_t SeedFromTicks(uint32_t tickCount) {
  int32_t seed = static_cast<int32_t>(tickCount & 0x7FFFFFFF);
  if (seed == 0 || seed == kModulus) return 1;
  return seed;
}

int32_t NextSeed(int32_t seed) {
  int32_t hi = seed / kQuotient;
  int32_t lo = seed % kQuotient;
  int32_t next = kMultiplier * lo - kRemainder * hi;
  if (next < 1) next += kModulus;
  return next;
}

}  // namespace

void SeedRandomFromTicks(uint32_t tickCount) { gSeed = SeedFromTicks(tickCount); }
int32_t RandomSeed() { return gSeed; }
void ForgetRandomSeed() { gSeed = 0; }

extern "C" double rnd() {
  if (gSeed == 0) SeedRandomFromTicks(GetTickCount());
  gSeed = NextSeed(gSeed);
  return static_cast<double>(static_cast<uint32_t>(gSeed) & kResultBits) / kResultScale;
}
