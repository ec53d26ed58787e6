// One object file on its way through the link: its parsed contents, what
// each of its sections becomes and whether the section survives duplicate
// elimination. Shared by the stages of LinkImage.
#pragma once
#include <string>
#include <vector>

#include "tools/image_builder/coff_object.h"
#include "tools/image_builder/section_roles.h"

struct InputObject {
  std::string name;  // for messages
  coff::Object coff;
  std::vector<SectionRole> roles;  // per section
  std::vector<bool> kept;          // per section: laid out in the image
};
