// Finding the seeds; see real_seeds.h. The blocks are read as stored, before
// linking: every address in them is still an offset into its block.
#include "tests/fuzz/real_seeds.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "ui/description_stream.h"

namespace {

bool ReadFile(const std::string& path, Bytes& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool Word(const Bytes& b, uint64_t at, uint32_t& value) {
  if (at + 4 > b.size()) return false;
  value = ReadU32LE(b.data() + at);
  return true;
}

Bytes Slice(const Bytes& b, uint64_t at, uint64_t length) {
  if (at > b.size() || length > b.size() - at) return {};
  return Bytes(b.begin() + at, b.begin() + at + length);
}

// The top-left corner of a stored picture, at most 8 x 8, as a picture of
// its own: its header's fields are what the mutations are after, and a
// whole picture's pixels would only slow every input down.
Bytes Cropped(const Bytes& picture) {
  if (picture.size() < 16) return picture;
  uint32_t width = ReadU32LE(picture.data() + 4), height = ReadU32LE(picture.data() + 8);
  uint32_t w = std::min(width, 8u), h = std::min(height, 8u);
  if (uint64_t{width} * height * 2 + 16 > picture.size()) return picture;
  Bytes out(picture.begin(), picture.begin() + 16);
  WriteU32LE(out.data() + 4, w);
  WriteU32LE(out.data() + 8, h);
  WriteU32LE(out.data() + 12, w * h * 2);
  for (uint32_t row = 0; row < h; ++row)
    out.insert(out.end(), picture.begin() + 16 + row * width * 2, picture.begin() + 16 + row * width * 2 + w * 2);
  return out;
}

// The project items: menu bar bytes, settings bytes, pictures (description
// and pixels).
void FromItems(RealSeeds& s) {
  uint32_t record = 0, classes = 0, count = 0;
  if (!Word(s.data, image::kProjectRecordField, record) || !Word(s.data, record, classes)) return;
  uint64_t items = record + 4ull + 4ull * classes;
  if (!Word(s.data, items, count)) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t item = 0, type = 0, a = 0, b = 0;
    if (!Word(s.data, items + 4 + 4ull * i, item) || !item || !Word(s.data, item, type)) continue;
    Word(s.data, item + 4ull, a);
    Word(s.data, item + 8ull, b);
    if (type == 2) s.menuBars.push_back(Slice(s.data, item + 8ull, a));
    if (type == 4) s.settings.push_back(Slice(s.data, item + 12ull, b));
    uint32_t pixels = 0;
    if (type == 1 && Word(s.data, item + 20ull, pixels))
      s.pictures.push_back(Cropped(Slice(s.data, item + 8ull, 16ull + pixels)));
  }
}

// Every data offset the code refers to (data reference records of the code
// fixups) at which a window description lies.
void FromCodeReferences(RealSeeds& s) {
  const Bytes& f = s.codeFixups;
  for (size_t at = 0; at < f.size();) {
    uint8_t type = f[at];
    uint32_t head = 0;
    if (type == image::kImportRecord && Word(f, at + 1, head) && at + 5 < f.size()) {
      at += 6 + f[at + 5];
      continue;
    }
    uint32_t site = 0, offset = 0, length = 0;
    if (type == image::kDataReferenceRecord && Word(f, at + 1, site)) {
      at += 5;
      if (Word(s.code, site, offset) && Word(s.data, offset, length) &&
          uint64_t{offset} + 4 + length <= s.data.size() && length > 2 &&
          WindowDescriptionReadsWhole(s.data.data() + offset + 4, length))
        s.windows.push_back(Slice(s.data, offset + 4ull, length));
      continue;
    }
    ++at;
  }
}

// The embedded plug-in list: the node whose name is the plug-in library's.
void FromPluginList(RealSeeds& s) {
  static const char kName[] = "\x0dzorbplug1.dll";
  const uint8_t* begin = s.data.data();
  const uint8_t* end = begin + s.data.size();
  const uint8_t* at = std::search(begin, end, kName, kName + 14);
  if (at == end || at - begin < 12) return;
  uint64_t node = static_cast<uint64_t>(at - begin) - 12;
  // The node with the first 256 bytes of its library: the mutations are
  // after the node's fields, and the whole library would only slow them.
  uint32_t size = 0;
  if (!Word(s.data, node + 4, size) || size < 5u + 13u) return;
  uint32_t kept = std::min<uint32_t>(size, 5 + 13 + 256);
  Bytes list = Slice(s.data, node, 8ull + kept);
  WriteU32LE(list.data() + 4, kept);
  s.pluginLists.push_back(list);
}

void PreferenceFile(const std::string& path, RealSeeds& s) {
  std::ifstream in(path);
  std::string line, file;
  while (std::getline(in, line))
    if (line.rfind("line ", 0) == 0) file += line.substr(5) + "\r\n";
  if (!file.empty()) s.preferenceFiles.push_back(Bytes(file.begin(), file.end()));
}

}  // namespace

bool LoadRealSeeds(const std::string& imageDir, const std::string& prefsExpected, RealSeeds& s,
                   std::string& error) {
  const std::pair<const char*, Bytes*> files[] = {{image::kCodeFile, &s.code},
                                                  {image::kDataFile, &s.data},
                                                  {image::kCodeFixupsFile, &s.codeFixups},
                                                  {image::kDataFixupsFile, &s.dataFixups}};
  for (const auto& [name, into] : files)
    if (!ReadFile(imageDir + "/" + name, *into) || into->empty()) {
      error = imageDir + "/" + name + " is missing or empty";
      return false;
    }
  if (!ReadFile(imageDir + "/" + image::kArchiveFile, s.archive)) {
    error = imageDir + "/" + image::kArchiveFile + " is missing";
    return false;
  }
  FromItems(s);
  FromCodeReferences(s);
  FromPluginList(s);
  PreferenceFile(prefsExpected, s);
  const std::pair<const char*, const std::vector<Bytes>*> kinds[] = {
      {"settings", &s.settings}, {"menu bar", &s.menuBars},      {"window description", &s.windows},
      {"picture", &s.pictures},  {"plug-in list", &s.pluginLists}, {"preference file", &s.preferenceFiles}};
  for (const auto& [what, found] : kinds)
    if (found->empty() || found->front().empty()) {
      error = std::string("no ") + what + " found in the real inputs";
      return false;
    }
  return true;
}
