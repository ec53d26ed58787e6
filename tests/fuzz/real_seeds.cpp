// LoadRealSeeds; see real_seeds.h. The seeds are found the way the program
// finds them: windows where the code refers to data, the plug-in list by
// its library's name, declarations where the registration would parse them.
#include "tests/fuzz/real_seeds.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "objects/description_stream.h"
#include "plugins/declaration_parser.h"

namespace {

// The window descriptions at data offsets the code refers to.
void FromCodeReferences(RealSeeds& s) {
  const Bytes& f = s.codeFixups;
  for (size_t at = 0; at < f.size(); ++at) {
    uint32_t site = 0, offset = 0, length = 0;
    if (f[at] == image::kImportRecord && at + 5 < f.size()) {
      at += 5 + f[at + 5];
    } else if (f[at] == image::kDataReferenceRecord && Word(f, at + 1, site)) {
      at += 4;
      if (Word(s.code, site, offset) && Word(s.data, offset, length) &&
          uint64_t{offset} + 4 + length <= s.data.size() && length > 2 &&
          WindowDescriptionReadsWhole(s.data.data() + offset + 4, length))
        s.windows.emplace_back(s.data.begin() + offset + 4, s.data.begin() + offset + 4 + length);
    }
  }
}

// The embedded plug-in list: the node whose name is the plug-in library's.
void FromPluginList(RealSeeds& s) {
  static const char kName[] = "\x0dzorbplug1.dll";
  uint64_t name = std::search(s.data.begin(), s.data.end(), kName, kName + 14) - s.data.begin();
  uint32_t size = 0;
  if (name == s.data.size() || name < 12 || !Word(s.data, name - 8, size) || size < 5u + 13u) return;
  uint32_t kept = std::min<uint32_t>(size, 5 + 13 + 256);  // the first 256 bytes of its library, for speed
  Bytes list(s.data.begin() + name - 12, s.data.begin() + std::min<uint64_t>(name - 4 + kept, s.data.size()));
  WriteU32LE(list.data() + 4, kept);
  s.pluginLists.push_back(list);
}

// The plug-in's method and event declarations: the C strings of the data
// block (the plug-in library lies in it) that parse as declarations with
// parameters or a result.
void FromDeclarations(RealSeeds& s) {
  for (auto at = s.data.begin(); at != s.data.end() && s.declarations.size() < 64;) {
    auto end = std::find(at, s.data.end(), 0);
    std::string_view text(reinterpret_cast<const char*>(&*at), end - at);
    if (std::optional<Declaration> d = text.size() > 3 ? ParseDeclaration(text) : std::nullopt)
      if (!d->params.empty() || !d->returnType.empty()) s.declarations.emplace_back(at, end);
    at = end == s.data.end() ? end : end + 1;
  }
}

}  // namespace

void FuzzFail(const std::string& why, int status) {
  std::fprintf(stderr, "fuzz: %s\n", why.c_str());
  std::exit(status);
}

Bytes FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Words(std::initializer_list<uint32_t> words, size_t size) {
  Bytes b(std::max(size, 4 * words.size()), 0x5A);
  for (size_t i = 0; i < words.size(); ++i) WriteU32LE(b.data() + 4 * i, words.begin()[i]);
  return b;
}

RealSeeds LoadRealSeeds(const std::string& imageDir, const std::string& prefsExpected) {
  RealSeeds s;
  const std::pair<const char*, Bytes*> files[] = {
      {image::kCodeFile, &s.code}, {image::kDataFile, &s.data}, {image::kCodeFixupsFile, &s.codeFixups},
      {image::kDataFixupsFile, &s.dataFixups}, {image::kArchiveFile, &s.archive}};
  for (const auto& [name, into] : files) {
    *into = FileBytes(imageDir + "/" + name);
    if (into->empty()) FuzzFail(imageDir + "/" + name + " is missing or empty");
  }
  FromCodeReferences(s);
  FromPluginList(s);
  FromDeclarations(s);
  std::ifstream prefs(prefsExpected);
  std::string line, file;
  while (std::getline(prefs, line))
    if (line.rfind("line ", 0) == 0) file += line.substr(5) + "\r\n";
  s.preferenceFiles.push_back(Bytes(file.begin(), file.end()));  // empty: refused by ReaderTargets
  return s;
}
