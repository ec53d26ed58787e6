// The seeded fuzzer of the test suite: every target of reader_targets.h,
// built natively under the sanitizers, gets mutations of its real inputs
// shaped as the reader reads them, the same sequence for the same seed, each
// input under a time limit. Blind but fast to build and repeatable, so the
// suite runs it on every change; `make fuzz` runs the coverage-guided
// fuzzer on the same targets. A finding becomes a case of the reader's unit test.
//
//   reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME] [--timeout S]
//   reader-fuzz IMAGE_DIR PREFS_EXPECTED --write-seeds DIR   (the real inputs, DIR/TARGET/seed-N)
#include <cstdio>
#include <map>

#include "tests/fuzz/reader_targets.h"

int main(int argc, char** argv) {
  if (argc < 3)
    FuzzFail("usage: reader-fuzz IMAGE_DIR PREFS_EXPECTED [--FLAG VALUE]... (flags as above)");
  std::map<std::string, std::string> flags = {
      {"--inputs", "100000"}, {"--seed", "1"}, {"--only", ""}, {"--timeout", "5"}, {"--write-seeds", ""}};
  for (int i = 3; i + 1 < argc; i += 2) flags[argv[i]] = argv[i + 1];
  uint64_t inputs = std::stoull(flags["--inputs"]), seed = std::stoull(flags["--seed"]);
  std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
  ReaderTargets targets(argv[1], argv[2]);
  if (!flags["--write-seeds"].empty()) return targets.WriteSeeds(flags["--write-seeds"]) ? 0 : 1;
  const std::string& only = flags["--only"];
  if (!only.empty() && !targets.Find(only)) FuzzFail("no target " + only);
  watchdog::Start(static_cast<unsigned>(std::stoul(flags["--timeout"])), seed);
  for (const ReaderTarget& t : targets.All())
    if (only.empty() || only == t.name) Fuzz(t, inputs, seed);
  return 0;
}
