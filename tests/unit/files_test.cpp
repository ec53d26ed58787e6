// Paths, line reading and file types, the pure parts of files and text
// streams. Line reading is compared with a shadow splitter over the whole
// text, with the file handed over in reads of many sizes, so that line ends
// falling between two reads are covered.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "services/file_types.h"
#include "services/line_reader.h"
#include "services/paths.h"

namespace {

TEST(Paths, RootDirectoryAndName) {
  PathParts p = SplitPath("C:\\Data\\Prefs.txt");
  EXPECT_EQ(p.root, "C:\\");
  EXPECT_EQ(p.directory, "Data\\");
  EXPECT_EQ(p.name, "Prefs.txt");
  p = SplitPath("\\\\server\\share\\file");
  EXPECT_EQ(p.root, "\\\\server\\");
  EXPECT_EQ(p.directory, "share\\");
  EXPECT_EQ(p.name, "file");
  p = SplitPath("C:");
  EXPECT_EQ(p.root, "C:");
  EXPECT_EQ(p.name, "");
  p = SplitPath("notes.txt");
  EXPECT_EQ(p.root, "");
  EXPECT_EQ(p.name, "notes.txt");
  EXPECT_EQ(ParentPath("C:\\x"), "C:");
  EXPECT_EQ(ParentPath("C:\\Data\\Prefs.txt"), "C:\\Data");
  EXPECT_EQ(FolderOf("C:\\Program\\vellory.exe"), "C:\\Program");
}

TEST(Paths, JoiningAsChildSiblingOrFromTheRoot) {
  const std::string base = "C:\\Program\\bin";
  EXPECT_EQ(JoinPath(base, "Prefs.txt", true), "C:\\Program\\bin\\Prefs.txt");
  EXPECT_EQ(JoinPath(base, "Prefs.txt", false), "C:\\Program\\Prefs.txt");
  EXPECT_EQ(JoinPath(base, "D:\\x.txt", true), "D:\\x.txt");
  EXPECT_EQ(JoinPath(base, "\\\\host\\share\\x", true), "\\\\host\\share\\x");
  EXPECT_EQ(JoinPath(base, "\\Temp\\x.txt", true), "C:\\Temp\\x.txt");
  EXPECT_EQ(JoinPath(base, "sub\\x.txt", true), "C:\\Program\\bin\\sub\\x.txt");
  EXPECT_EQ(JoinPath(base, "sub\\x.txt", false), "C:\\Program\\sub\\x.txt");
}

// A file read in reads of the sizes given, cycling.
struct ChunkedFile {
  std::string content;
  std::vector<uint32_t> sizes;
  size_t at = 0, read = 0;
};
uint32_t ReadChunk(void* f, uint8_t* into, uint32_t size) {
  auto* file = static_cast<ChunkedFile*>(f);
  uint32_t want = file->sizes[file->read++ % file->sizes.size()];
  uint32_t n = static_cast<uint32_t>(std::min<size_t>({want, size, file->content.size() - file->at}));
  memcpy(into, file->content.data() + file->at, n);
  file->at += n;
  return n;
}

// The shadow: split the whole text at CR LF, CR and LF; a text ending in a
// line end has no empty last line.
std::vector<std::string> Shadow(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> ReadAllLines(ChunkedFile& file) {
  LineBuffer buffer = {};
  std::vector<std::string> lines;
  while (!AtEnd(buffer, ReadChunk, &file)) lines.push_back(ReadLine(buffer, ReadChunk, &file));
  EXPECT_EQ(ReadLine(buffer, ReadChunk, &file), "");
  return lines;
}

TEST(LineReader, EveryKindOfLineEndAndALastLineWithoutOne) {
  ChunkedFile file{"a\r\nb\rc\nd", {1024}};
  EXPECT_EQ(ReadAllLines(file), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(LineReader, ACarriageReturnEndingOneReadAndALineFeedStartingTheNextMakeOneEnd) {
  std::string text(1023, 'x');
  text += "\r\nnext\r\n\r\nlast";
  ChunkedFile file{text, {1024}};
  EXPECT_EQ(ReadAllLines(file), (std::vector<std::string>{std::string(1023, 'x'), "next", "", "last"}));
}

TEST(LineReader, AgreesWithTheShadowForManyTextsAndReadSizes) {
  uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  const char alphabet[] = {'a', 'b', '\r', '\n', ' '};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    size_t length = next() % 3000;
    for (size_t i = 0; i < length; ++i) text += alphabet[next() % 5];
    ChunkedFile file{text, {static_cast<uint32_t>(1 + next() % 1024), 1024, static_cast<uint32_t>(1 + next() % 7)}};
    ASSERT_EQ(ReadAllLines(file), Shadow(text)) << "round " << round;
  }
}

TEST(LineReader, ReadingTheRestTakesTheBufferThenTheFile) {
  ChunkedFile file{"first\r\n" + std::string(3000, 'z'), {100}};
  LineBuffer buffer = {};
  EXPECT_EQ(ReadLine(buffer, ReadChunk, &file), "first");
  EXPECT_EQ(ReadRest(buffer, ReadChunk, &file), std::string(3000, 'z'));
  EXPECT_TRUE(AtEnd(buffer, ReadChunk, &file));
  EXPECT_EQ(ReadRest(buffer, ReadChunk, &file), "");
}

const std::vector<FileType> kTypes = {{"text/plain", "????", "TEXT", ".ascii;.text;.txt"},
                                      {"text/html", "????", "TEXT", ".html;.html"},
                                      {"", "", "", ""}};

TEST(FileTypes, DialogFiltersNameTheExtensionsOfTheRequestedTypes) {
  DialogFilter f = BuildDialogFilter(kTypes, "text/plain;text/html");
  const char expected[] =
      "text/plain (*.ascii;*.text;*.txt)\0*.ascii;*.text;*.txt\0"
      "text/html (*.html;*.html)\0*.html;*.html\0"
      "All files (*.*)\0*.*\0";
  EXPECT_EQ(f.filter, std::string(expected, sizeof expected));
  EXPECT_EQ(f.defaultExtension, "ascii");
  f = BuildDialogFilter(kTypes, "image/unknown;");
  EXPECT_EQ(f.filter, std::string("All files (*.*)\0*.*\0", 21));
  EXPECT_EQ(f.defaultExtension, "");
  EXPECT_EQ(FileTypeOfName(kTypes, "Notes.TXT"), "text/plain");
  EXPECT_EQ(FileTypeOfName(kTypes, "page.html"), "text/html");
  EXPECT_EQ(FileTypeOfName(kTypes, "archive.zip"), "");
  EXPECT_EQ(FileTypeOfName(kTypes, "noextension"), "");
}

}  // namespace
