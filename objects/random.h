// The state behind rnd, open to tests: seeding it from a chosen tick count
// makes the sequence reproducible, and reading it checks the generator's
// steps beyond the 20 bits a result shows.
#pragma once
#include <cstdint>

// Seeds as the first rnd does with the system tick count.
void SeedRandomFromTicks(uint32_t tickCount);
// The current state; 0 until the first rnd or seeding.
int32_t RandomSeed();
// Back to 0, so that the next rnd seeds itself from the system tick count.
void ForgetRandomSeed();
