// Writing an application image in either of its two forms: appended to the
// runtime program with the locator filled in, or as the five .dat files.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sdk/image_format.h"

struct ImageParts {
  std::vector<uint8_t> blocks[image::kBlockCount];  // code, code fixups, data, data fixups
  std::optional<std::vector<uint8_t>> archive;       // the resource archive, if any
};

// The four blocks as stored: each a u32 little-endian length and its bytes,
// then the seal (sdk/image_seal.h).
std::vector<uint8_t> SerializeImage(const ImageParts& parts);

// Builds the program file: the runtime up to the end of its last section, the
// image, then the archive; the locator gets the image offset and the archive
// offset (kNoArchive without one). Refuses a runtime with bytes after its last
// section (a symbol table, another image), which the image would overwrite.
bool AppendImage(const std::vector<uint8_t>& runtime, const ImageParts& parts,
                 std::vector<uint8_t>& program, std::string& error);

// Writes code1.dat, code2.dat, data1.dat, data2.dat and data3.dat (an empty
// archive when there is none) into `folder`.
bool WriteDatFiles(const std::string& folder, const ImageParts& parts, std::string& error);

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
