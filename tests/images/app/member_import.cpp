// An application that names a member of a class the runtime does not have:
// loading must stop with a message before any of its code runs.
#include "member_import_app_project.h"

extern "C" {

// The setter of the Value property of a control class that is not there.
void MissingValueSetter(ObjectRecord*, uint32_t, int32_t) __asm__("\"!SNoSuchControl!Value\"");

void App_Open(ObjectRecord* app) { MissingValueSetter(app, 0, 1); }

void MemberImportEntry() {
  Win32InstallPlugins(vs_project::PluginList());
  RuntimeInit(vs_project_record);
}

}  // extern "C"
