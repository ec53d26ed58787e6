// The two image forms; see image_writer.h.
#include "tools/image_builder/image_writer.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sdk/image_seal.h"
#include "sdk/le_bytes.h"
#include "tools/image_builder/pe_resources.h"

std::vector<uint8_t> SerializeImage(const ImageParts& parts) {
  std::vector<uint8_t> out;
  for (const auto& block : parts.blocks) {
    uint8_t length[4];
    WriteU32LE(length, static_cast<uint32_t>(block.size()));
    out.insert(out.end(), length, length + 4);
    out.insert(out.end(), block.begin(), block.end());
  }
  uint8_t seal[sizeof(image::Seal)];
  std::copy(image::kSealTag, image::kSealTag + 4, seal);
  WriteU32LE(seal + 4, image::Crc32(out.data(), out.size()));
  out.insert(out.end(), seal, seal + sizeof seal);
  return out;
}

bool AppendImage(const std::vector<uint8_t>& runtime, const ImageParts& parts,
                 std::vector<uint8_t>& program, std::string& error) {
  PeFacts pe;
  if (!ReadPeFacts(runtime, pe, error)) return false;
  if (pe.locatorSize != sizeof(image::Locator)) {
    error = "the PICKLE resource is not 8 bytes long";
    return false;
  }
  if (runtime.size() != pe.endOfSections) {
    error = "the runtime has bytes after its last section (link it stripped)";
    return false;
  }
  program.assign(runtime.begin(), runtime.end());
  std::vector<uint8_t> img = SerializeImage(parts);
  uint32_t imageOffset = static_cast<uint32_t>(program.size());
  program.insert(program.end(), img.begin(), img.end());
  uint32_t archiveOffset = image::kNoArchive;
  if (parts.archive) {
    archiveOffset = static_cast<uint32_t>(program.size());
    program.insert(program.end(), parts.archive->begin(), parts.archive->end());
  }
  WriteU32LE(program.data() + pe.locatorOffset, imageOffset);
  WriteU32LE(program.data() + pe.locatorOffset + 4, archiveOffset);
  return true;
}

bool WriteDatFiles(const std::string& folder, const ImageParts& parts, std::string& error) {
  const std::pair<const char*, const std::vector<uint8_t>*> files[] = {
      {image::kCodeFile, &parts.blocks[image::kCode]},
      {image::kCodeFixupsFile, &parts.blocks[image::kCodeFixups]},
      {image::kDataFile, &parts.blocks[image::kData]},
      {image::kDataFixupsFile, &parts.blocks[image::kDataFixups]},
  };
  for (const auto& [name, bytes] : files)
    if (!WriteFileBytes(folder + "/" + name, *bytes, error)) return false;
  static const std::vector<uint8_t> kEmptyArchive = {0, 0, 0, 0};
  return WriteFileBytes(folder + "/" + image::kArchiveFile,
                        parts.archive ? *parts.archive : kEmptyArchive, error);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
