// The list of the built-in control kinds; see control_kinds.h. A new kind
// needs its row here as well as its layout in sdk/builtin_class_layout.h.
#include "ui/kinds/control_kinds.h"

#include <string_view>

#include "ui/kinds/check_box.h"
#include "ui/kinds/edit_field.h"
#include "ui/kinds/group_box.h"
#include "ui/kinds/popup_menu.h"
#include "ui/kinds/progress_bar.h"
#include "ui/kinds/push_button.h"
#include "ui/kinds/static_text.h"
#include "ui/kinds/tab_panel.h"

namespace {

// Pointers, not copies: each row is defined in its kind's file, and a copy
// made here could be taken before that file's tables were initialised.
const BuiltInBehaviour* const kControlKinds[] = {
    &kEditFieldKind, &kStaticTextKind, &kPushButtonKind, &kCheckBoxKind,
    &kPopupMenuKind, &kGroupBoxKind,   &kTabPanelKind,   &kProgressBarKind,
};

}  // namespace

const BuiltInBehaviour* ControlKindBehaviourOf(const char* name) {
  for (const BuiltInBehaviour* kind : kControlKinds)
    if (std::string_view(kind->name) == name) return kind;
  return nullptr;
}
