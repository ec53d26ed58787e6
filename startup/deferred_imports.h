// Member imports: call-site chains that name a member of a class ("!" + kind
// + class + "!" + member). They can only be linked once the built-in classes
// and the plug-ins' classes exist, so LinkCode records them and RuntimeInit
// links them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "sdk/class_records.h"

// Records a chain to link later; the newest record is linked first.
void DeferMemberImport(std::string_view name, uint32_t head);

// The code address a member import names (kinds "M" method, "W" method
// assignment, "G" getter, "S" setter), or null when the class or the member
// is not found.
CodeAddress ResolveMemberImport(std::string_view name);

// Links every recorded chain and empties the list. False with `message` set
// at the first member that cannot be found; the chains after it stay unlinked.
bool LinkDeferredImports(std::string& message);

// The number of chains still waiting.
int32_t DeferredImportCount();

extern "C" {
// Links the recorded chains; a member that cannot be found is shown to the
// user and ends the program with status 1.
void ResolveDeferredImports();
}
