// The application's file types, as the file dialogs and FolderItem's Type
// use them. Pure, for the host.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "services/settings.h"

struct DialogFilter {
  // Pairs of zero-terminated texts (description, patterns), ending with an
  // empty text: the form the system's file dialogs take.
  std::string filter;
  // The first extension of the first named type, without its dot.
  std::string defaultExtension;
};

// A filter per type named in `names` (separated by ";"), each listing its
// extensions, then one for all files. Unknown names are left out.
DialogFilter BuildDialogFilter(const std::vector<FileType>& types, std::string_view names);
// The name of the first type whose extensions include the extension of
// `fileName` (compared without regard to letter case), or "".
std::string FileTypeOfName(const std::vector<FileType>& types, std::string_view fileName);
