// A time limit on each input of the seeded fuzzer. An input a reader takes
// too long over is a fault as much as a crash (a reader quadratic in a count
// it trusts stalls start-up), but a process that hangs tells nothing: the
// watchdog names the target and the input, keeps the input's bytes and ends
// the process. A tick once a second compares a count of inputs begun, so
// that an input costs no system call.
#pragma once
#include <cstdint>
#include <vector>

namespace watchdog {

// Starts the ticks: an input still running after `seconds` seconds (at most
// two more) is reported, and the process ends with status 3.
void Start(unsigned seconds, uint64_t seed);

// Marks the start of input number `index` of `target`; `input` must live
// until the next Begin or End, which says no input is running.
void Begin(const char* target, uint64_t index, const std::vector<uint8_t>& input);
void End();

// When an input is running: writes it to finding-TARGET-INDEX in the current
// folder and says on stderr which it was, with `seed`, and `what` it did.
void Report(const char* what);

}  // namespace watchdog
