// The coverage-guided fuzzer of `make fuzz`: libFuzzer over one target of
// reader_targets.h, built by clang as 32-bit code like the program's, so
// that a stored offset added to an address wraps where the program's would.
// libFuzzer keeps what reaches new code and the per-input time limit; each
// input starts from the same state, so a reproducer it writes fails alone.
//
//   coverage-fuzz --list
//   coverage-fuzz --target=NAME [LIBFUZZER FLAGS] [CORPUS DIR... | REPRODUCER]
// with --image=DIR and --prefs=FILE in any of them when the real inputs are
// not where the build that made this program left them.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/fuzz/reader_targets.h"

namespace {

const ReaderTarget* gTarget = nullptr;

// The value of `--name=value` in argv, or `otherwise`.
std::string Flag(int argc, char** argv, const char* name, const char* otherwise) {
  std::string prefix = std::string("--") + name + "=";
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) return argv[i] + prefix.size();
  return otherwise;
}

}  // namespace

// libFuzzer leaves flags that start with "--" to the target.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  auto* targets = new ReaderTargets(Flag(*argc, *argv, "image", VELLORY_IMAGE_DIR),
                                    Flag(*argc, *argv, "prefs", VELLORY_PREFS_EXPECTED));
  std::string name = Flag(*argc, *argv, "target", "");
  bool list = std::any_of(*argv, *argv + *argc, [](const char* a) { return std::strcmp(a, "--list") == 0; });
  if (list || !(gTarget = targets->Find(name))) {
    if (!list) std::fprintf(stderr, "coverage-fuzz: no target '%s'; --target= takes one of:\n", name.c_str());
    for (const ReaderTarget& t : targets->All()) std::fprintf(list ? stdout : stderr, "%s\n", t.name);
    std::exit(list ? 0 : 2);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gTarget->run(Bytes(data, data + size));
  return 0;
}
