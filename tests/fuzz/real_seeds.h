// The real inputs the fuzz targets start from: a reader's faults hide near
// what it really reads, so its mutations start there. They are the delivered
// application's blocks as stored (addresses still offsets), what lies in
// them, and a preference file as the program writes it.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/fuzz/startup_reads.h"

struct RealSeeds {
  Bytes code, data, codeFixups, dataFixups, archive;
  // Settings and menu bars are the project items' (InPlaceImage finds them).
  std::vector<Bytes> settings, menuBars, windows, pluginLists, preferenceFiles, declarations;
};

// Says why to stderr and exits with `status`.
[[noreturn]] void FuzzFail(const std::string& why, int status = 2);

// The bytes of the file at `path`; none when it cannot be read.
Bytes FileBytes(const std::string& path);

// `words` little-endian, then 0x5A bytes up to `size`.
Bytes Words(std::initializer_list<uint32_t> words, size_t size);

// The blocks from the build's image folder and what lies in them, and the
// preference file that tests/images/prefs/prefs.expected spells line by
// line; exits when a file is missing.
RealSeeds LoadRealSeeds(const std::string& imageDir, const std::string& prefsExpected);
