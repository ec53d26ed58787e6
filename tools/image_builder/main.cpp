// vellory-image: makes application images and puts them together with the
// runtime.
//
//   vellory-image header --project P.json -o HEADER.h
//       the header application code includes: class indexes, field offsets
//   vellory-image build --project P.json --runtime R.exe --names NAMES.txt
//                       [-o OUT.exe] [-d FOLDER] OBJECT.o...
//       links the objects with the project's data into an image, appended to
//       the runtime (-o) and/or as the .dat files of the separate form (-d)
//   vellory-image append --runtime R.exe BLOCKS [--archive F] -o OUT.exe
//   vellory-image dat    BLOCKS [--archive F] -d FOLDER
//       the same from ready-made blocks:
//       BLOCKS = --code F --code-fixups F --data F --data-fixups F
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tools/image_builder/image_linker.h"
#include "tools/image_builder/image_writer.h"
#include "tools/image_builder/project_data.h"

namespace {

struct Arguments {
  std::map<std::string, std::string> options;
  std::vector<std::string> files;
  bool Has(const std::string& key) const { return options.count(key) != 0; }
  const std::string& operator[](const std::string& key) const { return options.at(key); }
};

Arguments Parse(int argc, char** argv) {
  Arguments a;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() > 1 && arg[0] == '-' && i + 1 < argc)
      a.options[arg] = argv[++i];
    else
      a.files.push_back(arg);
  }
  return a;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vellory-image header --project P.json -o HEADER.h\n"
               "       vellory-image build --project P.json --runtime R.exe --names NAMES.txt\n"
               "                           [-o OUT.exe] [-d FOLDER] OBJECT.o...\n"
               "       vellory-image append --runtime R.exe BLOCKS [--archive F] -o OUT.exe\n"
               "       vellory-image dat BLOCKS [--archive F] -d FOLDER\n"
               "BLOCKS: --code F --code-fixups F --data F --data-fixups F\n");
  return 2;
}

int Fail(const std::string& error) {
  std::fprintf(stderr, "vellory-image: %s\n", error.c_str());
  return 1;
}

bool ReadBlocks(const Arguments& args, ImageParts& parts, std::string& error) {
  const char* names[image::kBlockCount] = {"--code", "--code-fixups", "--data", "--data-fixups"};
  for (int i = 0; i < image::kBlockCount; ++i) {
    if (!args.Has(names[i])) {
      error = std::string("missing ") + names[i];
      return false;
    }
    if (!ReadFileBytes(args[names[i]], parts.blocks[i], error)) return false;
  }
  return true;
}

bool ReadArchive(const Arguments& args, ImageParts& parts, std::string& error) {
  if (!args.Has("--archive")) return true;
  parts.archive.emplace();
  return ReadFileBytes(args["--archive"], *parts.archive, error);
}

// Writes the image in the forms asked for: -o appended, -d separate files.
int WriteForms(const Arguments& args, const ImageParts& parts) {
  std::string error;
  if (args.Has("-d") && !WriteDatFiles(args["-d"], parts, error)) return Fail(error);
  if (!args.Has("-o")) return 0;
  std::vector<uint8_t> runtime, program;
  if (!args.Has("--runtime")) return Usage();
  if (!ReadFileBytes(args["--runtime"], runtime, error) ||
      !AppendImage(runtime, parts, program, error) || !WriteFileBytes(args["-o"], program, error))
    return Fail(error);
  return 0;
}

bool ReadNames(const std::string& path, std::set<std::string>& names, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) names.insert(line);
  return true;
}

int Header(const Arguments& args) {
  if (!args.Has("--project") || !args.Has("-o")) return Usage();
  Project project;
  std::string error;
  if (!ReadProject(args["--project"], project, error)) return Fail(error);
  std::string text = GenerateProjectHeader(project, args["--project"]);
  std::vector<uint8_t> bytes(text.begin(), text.end());
  return WriteFileBytes(args["-o"], bytes, error) ? 0 : Fail(error);
}

int Build(const Arguments& args) {
  if (!args.Has("--project") || !args.Has("--names") || args.files.empty()) return Usage();
  LinkRequest request;
  Project project;
  std::string error;
  if (!ReadProject(args["--project"], project, error) ||
      !GenerateProjectData(project, request.generated, error) ||
      !ReadNames(args["--names"], request.runtimeNames, error))
    return Fail(error);
  for (const std::string& file : args.files) {
    request.objects.push_back({file, {}});
    if (!ReadFileBytes(file, request.objects.back().bytes, error)) return Fail(error);
  }
  request.entrySymbol = project.entry;
  request.projectRecordSymbol = kProjectRecordSymbol;
  LinkResult result;
  if (!LinkImage(request, result, error)) return Fail(error);
  if (!ReadArchive(args, result.parts, error)) return Fail(error);
  return WriteForms(args, result.parts);
}

int FromBlocks(const Arguments& args) {
  ImageParts parts;
  std::string error;
  if (!ReadBlocks(args, parts, error) || !ReadArchive(args, parts, error)) return Fail(error);
  return WriteForms(args, parts);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  Arguments args = Parse(argc, argv);
  if (command == "header") return Header(args);
  if (command == "build") return Build(args);
  if (command == "append") return args.Has("-o") ? FromBlocks(args) : Usage();
  if (command == "dat") return args.Has("-d") ? FromBlocks(args) : Usage();
  return Usage();
}
