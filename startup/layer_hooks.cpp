// Installing the hooks; see layer_hooks.h.
#include "startup/layer_hooks.h"

#include "objects/builtin_classes.h"
#include "objects/fatal_hooks.h"
#include "plugins/plugin_registry.h"
#include "startup/builtin_class_table.h"
#include "ui/message_box.h"
#include "ui/runtime_ui.h"

void InstallLayerHooks() {
  SetBuiltInBehaviours(BuiltInBehaviourOf);
  SetClassFinder(FindPluginClass);
  SetFatalHooks({ShowRuntimeMessage, ShutDownRuntime});
}
