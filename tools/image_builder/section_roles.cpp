// Section roles; see section_roles.h. A family is a base name alone or
// followed by "$" (grouped sections, COMDAT copies) or "." (the compiler's
// .text.startup and .text.unlikely).
#include "tools/image_builder/section_roles.h"

#include "tools/image_builder/coff_object.h"

namespace {

bool InFamily(std::string_view name, std::string_view base) {
  if (!name.starts_with(base)) return false;
  return name.size() == base.size() || name[base.size()] == '$' || name[base.size()] == '.';
}

bool IsIgnored(std::string_view name, uint32_t characteristics) {
  if (characteristics & (coff::kLinkRemove | coff::kLinkInfo | coff::kDiscardable)) return true;
  // .rdata$zzz carries the compiler's identification string.
  return name == ".drectve" || name == ".rdata$zzz" || InFamily(name, ".comment") ||
         name.starts_with(".note") || name.starts_with(".debug") || name.starts_with(".stab");
}

bool IsConstructorList(std::string_view name) {
  return InFamily(name, ".ctors") || InFamily(name, ".dtors") || InFamily(name, ".init_array") ||
         InFamily(name, ".fini_array") || name.starts_with(".CRT$");
}

}  // namespace

SectionRole ClassifySection(std::string_view name, uint32_t characteristics) {
  if (IsIgnored(name, characteristics)) return SectionRole::Ignored;
  if (IsConstructorList(name)) return SectionRole::Constructors;
  if (InFamily(name, ".tls")) return SectionRole::ThreadLocal;
  if (InFamily(name, ".text")) return SectionRole::Code;
  if (InFamily(name, ".bss")) return SectionRole::Bss;
  if (InFamily(name, ".data") || InFamily(name, ".rdata") || InFamily(name, ".rodata"))
    return SectionRole::Data;
  return SectionRole::Unknown;
}
