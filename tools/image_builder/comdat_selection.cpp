// COMDAT copies; see comdat_selection.h. A copy is known by its COMDAT
// symbol (the external symbol the section defines); a section that defines
// none is known by its own name, as sections grouped by name alone are.
#include "tools/image_builder/comdat_selection.h"

#include <map>
#include <utility>

namespace {

struct Copy {
  size_t object;
  size_t section;
};

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

// The display form of a symbol: i386 COFF puts "_" before C names.
std::string Shown(const std::string& name) {
  return !name.empty() && name[0] == '_' ? name.substr(1) : name;
}

std::vector<std::string> ComdatKeys(const coff::Object& object) {
  std::vector<std::string> keys(object.sections.size());
  std::vector<bool> found(object.sections.size(), false);
  for (const coff::Symbol& symbol : object.symbols) {
    if (symbol.isAux || symbol.storageClass != coff::kExternal || symbol.section <= 0) continue;
    size_t s = static_cast<size_t>(symbol.section - 1);
    if (found[s]) continue;
    found[s] = true;
    keys[s] = symbol.name;
  }
  for (size_t s = 0; s < keys.size(); ++s)
    if (!found[s]) keys[s] = object.sections[s].name;
  return keys;
}

bool IsCandidate(const InputObject& o, size_t s) {
  const coff::Section& section = o.coff.sections[s];
  return o.kept[s] && (section.characteristics & coff::kLinkComdat) &&
         section.comdatSelection != coff::kSelectAssociative;
}

// Decides between the copy kept so far and a later one; clears the loser.
bool Choose(std::vector<InputObject>& objects, Copy& winner, Copy later, const std::string& key,
            std::string& error) {
  InputObject& first = objects[winner.object];
  InputObject& other = objects[later.object];
  const coff::Section& a = first.coff.sections[winner.section];
  const coff::Section& b = other.coff.sections[later.section];
  std::string both = " in " + first.name + " and " + other.name;
  switch (b.comdatSelection) {
    case coff::kSelectNoDuplicates:
      return Fail(error, other.name + ": " + Shown(key) + " is defined more than once (also in " +
                             first.name + ")");
    case coff::kSelectAny:
      break;
    case coff::kSelectSameSize:
      if (a.size != b.size) return Fail(error, other.name + ": the copies of " + Shown(key) + both + " differ in size");
      break;
    case coff::kSelectExactMatch:
      if (a.size != b.size || a.bytes != b.bytes || a.checksum != b.checksum)
        return Fail(error, other.name + ": the copies of " + Shown(key) + both + " differ");
      break;
    case coff::kSelectLargest:
      if (b.size > a.size) {
        first.kept[winner.section] = false;
        winner = later;
        return true;
      }
      break;
    default:
      return Fail(error, other.name + ": section " + b.name + " has an unknown COMDAT selection " +
                             std::to_string(b.comdatSelection));
  }
  other.kept[later.section] = false;
  return true;
}

// An associative section lives and dies with the section it names, which
// may itself be associative.
bool FollowAssociations(InputObject& o, std::string& error) {
  const auto& sections = o.coff.sections;
  for (size_t s = 0; s < sections.size(); ++s) {
    if (!o.kept[s] || !(sections[s].characteristics & coff::kLinkComdat) ||
        sections[s].comdatSelection != coff::kSelectAssociative)
      continue;
    size_t at = s;
    for (size_t steps = 0; sections[at].comdatSelection == coff::kSelectAssociative; ++steps) {
      uint16_t next = sections[at].associatedSection;
      if (next == 0 || next > sections.size() || steps == sections.size())
        return Fail(error, o.name + ": associative section " + sections[s].name +
                               " names no section it could follow");
      at = next - 1u;
    }
    o.kept[s] = o.kept[at];
  }
  return true;
}

}  // namespace

bool SelectComdatCopies(std::vector<InputObject>& objects, std::string& error) {
  std::map<std::string, Copy> winners;
  for (size_t o = 0; o < objects.size(); ++o) {
    std::vector<std::string> keys = ComdatKeys(objects[o].coff);
    for (size_t s = 0; s < keys.size(); ++s) {
      if (!IsCandidate(objects[o], s)) continue;
      auto [it, inserted] = winners.try_emplace(keys[s], Copy{o, s});
      if (inserted) {
        uint8_t selection = objects[o].coff.sections[s].comdatSelection;
        if (selection < coff::kSelectNoDuplicates || selection > coff::kSelectLargest)
          return Fail(error, objects[o].name + ": section " + objects[o].coff.sections[s].name +
                                 " has an unknown COMDAT selection " + std::to_string(selection));
        continue;
      }
      if (!Choose(objects, it->second, Copy{o, s}, keys[s], error)) return false;
    }
  }
  for (InputObject& o : objects)
    if (!FollowAssociations(o, error)) return false;
  return true;
}
