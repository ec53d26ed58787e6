// Every reader of untrusted bytes that builds on the host, as a fuzz target:
// a name, the real inputs it starts from, and a body that hands one input to
// the reader as the program would and reads what comes back, so that the
// sanitizers see every byte the reader lets through. Two drivers share them:
// reader-fuzz (fuzz_readers.cpp), seeded and native, in the test suite, and
// coverage-fuzz (coverage_fuzz.cpp), libFuzzer in 32 bits, for `make fuzz`.
#pragma once
#include <string_view>

#include "tests/fuzz/in_place_image.h"
#include "tests/fuzz/mutator.h"

class ReaderTargets {
 public:
  // Loads the real inputs and checks that every reader takes them whole, as
  // the program must (exits when not). Every input starts from the same
  // state, so that one that fails fails alone.
  ReaderTargets(const std::string& imageDir, const std::string& prefsExpected);
  ReaderTargets(const ReaderTargets&) = delete;
  ReaderTargets& operator=(const ReaderTargets&) = delete;

  const std::vector<ReaderTarget>& All() const { return targets_; }
  // The target of that name, or null.
  const ReaderTarget* Find(std::string_view name) const;
  // Writes each target's seeds as DIR/NAME/seed-N; false when one cannot be written.
  bool WriteSeeds(const std::string& dir) const;

 private:
  void CheckRealInputs();
  // The real blocks, for fixups to be linked into.
  LoadedBlocks Blocks();
  void AddImageTargets();
  void AddDescriptionTargets();
  void AddExchangeTargets();

  RealSeeds seeds_;
  InPlaceImage inPlace_;
  LowBlock low_;  // where a plug-in list is placed
  FreshBlock code_, data_;
  AcceptAll resolver_{0x00400000u};
  std::string error_;
  std::vector<ReaderTarget> targets_;
};
