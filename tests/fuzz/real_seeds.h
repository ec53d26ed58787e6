// The real inputs the fuzz tests start from: the delivered application's
// own image (its four blocks as the separate-file form holds them) and what
// lies in it — the settings, the menu bar and window descriptions, the
// pictures and the plug-in list, found by walking the project record and the
// data references of the code — and a preference file as the program writes
// it.
#pragma once
#include <string>
#include <vector>

#include "tests/fuzz/mutator.h"

struct RealSeeds {
  Bytes code, data, codeFixups, dataFixups, archive;
  std::vector<Bytes> settings, menuBars, windows, pictures, pluginLists, preferenceFiles;
};

// Reads the image in `imageDir` (code1.dat ... data2.dat) and the
// preference lines of `prefsExpected` (its "line " rows). False with
// `error` set when something is missing or the image holds none of a kind.
bool LoadRealSeeds(const std::string& imageDir, const std::string& prefsExpected, RealSeeds& seeds,
                   std::string& error);
