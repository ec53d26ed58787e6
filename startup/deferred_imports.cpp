// The deferred import list; see deferred_imports.h.
#include "startup/deferred_imports.h"

#include <windows.h>

#include <forward_list>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/collation.h"
#include "objects/process_globals.h"
#include "objects/strings.h"
#include "plugins/plugin_registry.h"
#include "startup/code_linker.h"
#include "startup/load_messages.h"
#include "ui/message_box.h"

namespace {

struct DeferredImport {
  std::string name;  // without the leading "!"
  uint32_t head;
};

std::forward_list<DeferredImport>& Deferred() {
  static std::forward_list<DeferredImport> list;
  return list;
}

// Classes a member import may name: built-in classes first, then the
// plug-ins' controls and classes.
ClassRecord* FindImportClass(std::string_view name) { return FindPluginAwareClass(name); }

CodeAddress FindMethod(const ClassRecord* cls, std::string_view member, bool assignment) {
  for (const MethodRecord* m = cls->methods; m; m = m->next)
    if (CollateEqual(StringView(m->name), member))
      return assignment ? m->entry.assignCode : m->entry.code;
  return nullptr;
}

}  // namespace

void DeferMemberImport(std::string_view name, uint32_t head) {
  Deferred().push_front({std::string(name), head});
}

CodeAddress ResolveMemberImport(std::string_view name) {
  if (name.empty()) return nullptr;
  char kind = name[0];
  size_t bang = name.find('!');
  std::string_view className, member;
  if (bang != std::string_view::npos && bang > 0) {
    className = name.substr(1, bang - 1);
    member = name.substr(bang + 1);
  } else {
    member = name.substr(1);
  }
  ClassRecord* cls = className.empty() ? nullptr : FindImportClass(className);
  if (!className.empty() && !cls) return nullptr;
  switch (kind) {
    case 'M':
    case 'W':
      if (!cls) return FindPluginGlobalMethod(member, kind == 'W');
      return FindMethod(cls, member, kind == 'W');
    case 'G':
    case 'S': {
      const PropertyRecord* p = cls ? FindProperty(cls, member) : nullptr;
      if (!p) return nullptr;
      return kind == 'G' ? p->getter : p->setter;
    }
    default:
      return nullptr;
  }
}

bool LinkDeferredImports(std::string& message) {
  LoadedBlocks code{gCodeBase, gCodeLength, reinterpret_cast<uint32_t>(gCodeBase),
                    nullptr, 0, 0};
  auto& list = Deferred();
  while (!list.empty()) {
    DeferredImport next = std::move(list.front());
    list.pop_front();
    CodeAddress target = ResolveMemberImport(next.name);
    if (!target) {
      message = std::string(kCannotLoad) + "the member " + next.name + " could not be found.";
      return false;
    }
    if (!LinkCallChain(code, next.head, reinterpret_cast<uint32_t>(target), message)) return false;
  }
  return true;
}

int32_t DeferredImportCount() {
  int32_t n = 0;
  for (const auto& d : Deferred()) (void)d, ++n;
  return n;
}

extern "C" void ResolveDeferredImports() {
  std::string message;
  if (LinkDeferredImports(message)) return;
  ShowRuntimeMessage(message.c_str());
  ExitProcess(1);
}
