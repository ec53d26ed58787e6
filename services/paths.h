// Windows paths as the FolderItem class sees them: a root ("C:\" or
// "\\server\"), a directory ("Data\") and a name. Pure string work, so that
// the joining rules can be checked on the host.
#pragma once
#include <string>
#include <string_view>

struct PathParts {
  std::string root, directory, name;
};

PathParts SplitPath(std::string_view path);
// Root and directory without the directory's trailing "\"; with no
// directory, the root less its last character ("C:\x" → "C:").
std::string ParentPath(std::string_view path);
// `relative` read against `base`: a path with a root stands as it is; a
// plain name goes inside `base` when `child`, else beside it; a directory
// beginning with "\" hangs from the root of `base`.
std::string JoinPath(std::string_view base, std::string_view relative, bool child);
// The folder of a file path (everything before its last "\").
std::string FolderOf(std::string_view path);
