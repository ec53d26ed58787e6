// Paths, line reading and file types. Lines are compared with a shadow
// splitter over texts read in chunks of many sizes, so that line ends
// falling between two reads are covered.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "services/file_types.h"
#include "services/line_reader.h"
#include "services/paths.h"

namespace {

TEST(Paths, RootDirectoryNameParentAndJoiningAsChildSiblingOrFromTheRoot) {
  const struct { const char *path, *root, *directory, *name, *parent; } rows[] = {
      {"C:\\Data\\Prefs.txt", "C:\\", "Data\\", "Prefs.txt", "C:\\Data"},
      {"\\\\server\\share\\file", "\\\\server\\", "share\\", "file", "\\\\server\\share"},
      {"C:\\x", "C:\\", "", "x", "C:"}, {"C:", "C:", "", "", nullptr}, {"notes.txt", "", "", "notes.txt", nullptr}};
  for (const auto& r : rows) {
    PathParts p = SplitPath(r.path);
    EXPECT_EQ(p.root + "|" + p.directory + "|" + p.name,
              std::string(r.root) + "|" + r.directory + "|" + r.name) << r.path;
    if (r.parent) {
      EXPECT_EQ(ParentPath(r.path), r.parent) << r.path;
    }
  }
  EXPECT_EQ(FolderOf("C:\\Program\\vellory.exe"), "C:\\Program");
  const struct { const char* relative; bool child; const char* joined;
  } joins[] = {{"Prefs.txt", true, "C:\\Program\\bin\\Prefs.txt"},
               {"Prefs.txt", false, "C:\\Program\\Prefs.txt"},
               {"D:\\x.txt", true, "D:\\x.txt"},
               {"\\Temp\\x.txt", true, "C:\\Temp\\x.txt"},
               {"sub\\x.txt", true, "C:\\Program\\bin\\sub\\x.txt"},
               {"sub\\x.txt", false, "C:\\Program\\sub\\x.txt"}};
  for (const auto& r : joins) EXPECT_EQ(JoinPath("C:\\Program\\bin", r.relative, r.child), r.joined) << r.relative;
}

// A file read in reads of the sizes given, cycling; with `failAt`, a read
// that would reach that offset fails (the bytes before it still come).
struct ChunkedFile {
  std::string content;
  std::vector<uint32_t> sizes;
  size_t failAt = std::string::npos;
  size_t at = 0, read = 0, failures = 0;
};
uint32_t ReadChunk(void* f, uint8_t* into, uint32_t size) {
  auto* file = static_cast<ChunkedFile*>(f);
  uint32_t want = file->sizes[file->read++ % file->sizes.size()];
  size_t end = std::min(file->content.size(), file->failAt);
  uint32_t n = static_cast<uint32_t>(std::min<size_t>({want, size, end - file->at}));
  if (n == 0 && file->at >= file->failAt) {
    ++file->failures;
    return kReadFailed;
  }
  memcpy(into, file->content.data() + file->at, n);
  file->at += n;
  return n;
}

// The shadow: split the whole text at CR LF, CR and LF; a text ending in a
// line end has no empty last line.
std::vector<std::string> Shadow(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + (text.compare(end, 2, "\r\n") ? 1 : 2)) {
    end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// Every line to the end; a failed read ends the file for good: it is marked,
// and the file is never read again.
std::vector<std::string> ReadAllLines(ChunkedFile& file) {
  LineBuffer buffer = {};
  std::vector<std::string> lines;
  while (!AtEnd(buffer, ReadChunk, &file)) lines.push_back(ReadLine(buffer, ReadChunk, &file));
  EXPECT_EQ(ReadLine(buffer, ReadChunk, &file), "");
  EXPECT_EQ(ReadRest(buffer, ReadChunk, &file), "");
  EXPECT_EQ(buffer.failed != 0, file.failAt != std::string::npos);
  EXPECT_EQ(file.failures, file.failAt != std::string::npos ? 1u : 0u) << "read again after a failure";
  return lines;
}

// Every other round a read fails part-way: the lines before the failure
// come as if the file ended there.
TEST(LineReader, EveryLineEndEvenOneSplitByARefillAgreesWithTheShadow) {
  uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  const char alphabet[] = {'a', 'b', '\r', '\n', ' '};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    size_t length = next() % 3000;
    for (size_t i = 0; i < length; ++i) text += alphabet[next() % 5];
    ChunkedFile file{text, {static_cast<uint32_t>(1 + next() % 1024), 1024, static_cast<uint32_t>(1 + next() % 7)}};
    if (round % 2) file.failAt = next() % (length + 1);
    ASSERT_EQ(ReadAllLines(file), Shadow(text.substr(0, std::min(length, file.failAt)))) << "round " << round;
  }
}

TEST(FileTypes, DialogFiltersNameTheExtensionsOfTheRequestedTypes) {
  const std::vector<FileType> types = {{"text/plain", "????", "TEXT", ".ascii;.text;.txt"},
                                       {"text/html", "????", "TEXT", ".html;.html"},
                                       {"", "", "", ""}};
  DialogFilter f = BuildDialogFilter(types, "text/plain;text/html");
  const char expected[] =
      "text/plain (*.ascii;*.text;*.txt)\0*.ascii;*.text;*.txt\0"
      "text/html (*.html;*.html)\0*.html;*.html\0"
      "All files (*.*)\0*.*\0";
  EXPECT_EQ(f.filter, std::string(expected, sizeof expected));
  EXPECT_EQ(f.defaultExtension, "ascii");
  f = BuildDialogFilter(types, "image/unknown;");
  EXPECT_EQ(f.filter, std::string("All files (*.*)\0*.*\0", 21));
  EXPECT_EQ(f.defaultExtension, "");
  const std::pair<const char*, const char*> names[] = {
      {"Notes.TXT", "text/plain"}, {"page.html", "text/html"}, {"archive.zip", ""}, {"noextension", ""}};
  for (auto [name, type] : names) EXPECT_EQ(FileTypeOfName(types, name), type) << name;
}

}  // namespace
