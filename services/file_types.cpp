// File types name their extensions as ".ascii;.text;.txt"; the dialogs want
// "*.ascii;*.text;*.txt". Empty extensions (a type with none) are skipped
// rather than turned into a pattern that matches every file.
#include "services/file_types.h"

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  while (!text.empty()) {
    size_t at = text.find(separator);
    std::string_view part = text.substr(0, at);
    if (!part.empty()) parts.push_back(part);
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  return parts;
}

std::string_view WithoutDot(std::string_view extension) {
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  return extension;
}

std::string Patterns(const FileType& type) {
  std::string patterns;
  for (std::string_view extension : Split(type.extensions, ';')) {
    if (WithoutDot(extension).empty()) continue;
    if (!patterns.empty()) patterns += ';';
    patterns += "*.";
    patterns += WithoutDot(extension);
  }
  return patterns;
}

const FileType* Find(const std::vector<FileType>& types, std::string_view name) {
  for (const FileType& t : types)
    if (!t.name.empty() && t.name == name) return &t;
  return nullptr;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

void AddFilter(std::string& filter, std::string_view description, std::string_view patterns) {
  filter.append(description);
  filter += '\0';
  filter.append(patterns);
  filter += '\0';
}

}  // namespace

DialogFilter BuildDialogFilter(const std::vector<FileType>& types, std::string_view names) {
  DialogFilter result;
  for (std::string_view name : Split(names, ';')) {
    const FileType* type = Find(types, name);
    if (!type) continue;
    std::string patterns = Patterns(*type);
    if (patterns.empty()) continue;
    AddFilter(result.filter, std::string(name) + " (" + patterns + ")", patterns);
    if (result.defaultExtension.empty()) result.defaultExtension = patterns.substr(2, patterns.find(';') - 2);
  }
  AddFilter(result.filter, "All files (*.*)", "*.*");
  result.filter += '\0';
  return result;
}

std::string FileTypeOfName(const std::vector<FileType>& types, std::string_view fileName) {
  size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string_view extension = fileName.substr(dot + 1);
  for (const FileType& t : types)
    for (std::string_view e : Split(t.extensions, ';'))
      if (SameLetters(WithoutDot(e), extension)) return t.name;
  return {};
}
