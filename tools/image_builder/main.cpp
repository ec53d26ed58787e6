// vellory-image: puts an application image together with the runtime.
//
//   vellory-image append --runtime R.exe --code F --code-fixups F --data F
//                        --data-fixups F [--archive F] -o OUT.exe
//   vellory-image dat    --code F --code-fixups F --data F --data-fixups F
//                        [--archive F] -d FOLDER
//
// The block files hold each block's bare bytes.
#include <cstdio>
#include <map>
#include <string>

#include "tools/image_builder/image_writer.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: vellory-image append --runtime R.exe BLOCKS [--archive F] -o OUT.exe\n"
               "       vellory-image dat BLOCKS [--archive F] -d FOLDER\n"
               "BLOCKS: --code F --code-fixups F --data F --data-fixups F\n");
  return 2;
}

int Fail(const std::string& error) {
  std::fprintf(stderr, "vellory-image: %s\n", error.c_str());
  return 1;
}

bool ReadParts(std::map<std::string, std::string>& args, ImageParts& parts, std::string& error) {
  const char* names[image::kBlockCount] = {"--code", "--code-fixups", "--data", "--data-fixups"};
  for (int i = 0; i < image::kBlockCount; ++i) {
    if (!args.count(names[i])) {
      error = std::string("missing ") + names[i];
      return false;
    }
    if (!ReadFileBytes(args[names[i]], parts.blocks[i], error)) return false;
  }
  if (args.count("--archive")) {
    parts.archive.emplace();
    if (!ReadFileBytes(args["--archive"], *parts.archive, error)) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (argc % 2) != 0) return Usage();
  std::string command = argv[1];
  std::map<std::string, std::string> args;
  for (int i = 2; i + 1 < argc; i += 2) args[argv[i]] = argv[i + 1];

  ImageParts parts;
  std::string error;
  if (!ReadParts(args, parts, error)) return Fail(error);

  if (command == "dat") {
    if (!args.count("-d")) return Usage();
    return WriteDatFiles(args["-d"], parts, error) ? 0 : Fail(error);
  }
  if (command != "append" || !args.count("--runtime") || !args.count("-o")) return Usage();
  std::vector<uint8_t> runtime, program;
  if (!ReadFileBytes(args["--runtime"], runtime, error) ||
      !AppendImage(runtime, parts, program, error) || !WriteFileBytes(args["-o"], program, error))
    return Fail(error);
  return 0;
}
