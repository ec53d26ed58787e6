// Path parts are found by position alone, without asking the file system,
// so that they work for paths that do not exist yet.
#include "services/paths.h"

namespace {

bool HasRoot(std::string_view path) {
  return path.size() >= 2 && (path.substr(0, 2) == "\\\\" || path[1] == ':');
}

}  // namespace

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (HasRoot(path)) {
    size_t slash = path.find('\\', 2);
    if (slash == std::string_view::npos) {
      parts.root = std::string(path);
      return parts;
    }
    parts.root = std::string(path.substr(0, slash + 1));
    path.remove_prefix(slash + 1);
  }
  size_t last = path.rfind('\\');
  if (last == std::string_view::npos) {
    parts.name = std::string(path);
    return parts;
  }
  parts.directory = std::string(path.substr(0, last + 1));
  parts.name = std::string(path.substr(last + 1));
  return parts;
}

std::string ParentPath(std::string_view path) {
  PathParts p = SplitPath(path);
  if (p.directory.empty()) return p.root.empty() ? p.root : p.root.substr(0, p.root.size() - 1);
  return p.root + p.directory.substr(0, p.directory.size() - 1);
}

std::string JoinPath(std::string_view base, std::string_view relative, bool child) {
  PathParts r = SplitPath(relative);
  if (!r.root.empty()) return std::string(relative);
  PathParts b = SplitPath(base);
  if (r.directory.empty())
    return child ? std::string(base) + "\\" + r.name : b.root + b.directory + r.name;
  if (r.directory[0] == '\\') return b.root + r.directory.substr(1) + r.name;
  if (child) return std::string(base) + "\\" + std::string(relative);
  return b.root + b.directory + r.directory + r.name;
}

std::string FolderOf(std::string_view path) {
  size_t last = path.rfind('\\');
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}
