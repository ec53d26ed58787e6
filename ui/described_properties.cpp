// Applying described property texts; see described_properties.h. Every value
// in a description is text, and the declared type of the property decides how
// it becomes the setter's argument. Values the conversion makes (strings,
// project objects) are owned here and released once the setter has taken
// what it keeps.
#include "ui/described_properties.h"

#include <cstdlib>
#include <string>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/collation.h"
#include "objects/strings.h"
#include "sdk/vellory.h"

namespace {

using IntSetter = void(__cdecl*)(ObjectRecord*, uint32_t, int32_t);
using StringSetter = void(__cdecl*)(ObjectRecord*, uint32_t, StringRecord*);
using ObjectSetter = void(__cdecl*)(ObjectRecord*, uint32_t, ObjectRecord*);

enum class Conversion { kNone, kString, kInteger, kBoolean, kObject };

Conversion ConversionOf(std::string_view type) {
  if (CollateEqual(type, "String")) return Conversion::kString;
  if (CollateEqual(type, "Integer") || CollateEqual(type, "Color")) return Conversion::kInteger;
  if (CollateEqual(type, "Boolean")) return Conversion::kBoolean;
  if (CollateEqual(type, "Single") || CollateEqual(type, "Double") || CollateEqual(type, "Form"))
    return Conversion::kNone;
  return type.empty() ? Conversion::kNone : Conversion::kObject;
}

// The text is not zero-terminated where it lies in the description.
int32_t Atol(std::string_view text) { return std::atol(std::string(text).c_str()); }

}  // namespace

bool ApplyDescribedProperty(ObjectRecord* object, std::string_view name, std::string_view value) {
  if (!object) return false;
  const PropertyRecord* p = FindProperty(object->cls, name);
  if (!p || !p->setter || !p->type) return false;
  uint32_t param = p->param;
  switch (ConversionOf(p->type)) {
    case Conversion::kNone:
      return false;
    case Conversion::kString: {
      StringRef text = StringRef::Adopt(NewString(value));
      reinterpret_cast<StringSetter>(p->setter)(object, param, text.get());
      return true;
    }
    case Conversion::kInteger:
      reinterpret_cast<IntSetter>(p->setter)(object, param, Atol(value));
      return true;
    case Conversion::kBoolean:
      // Passed as a whole word: byte-wide and word-wide setters both read 0 or 1.
      reinterpret_cast<IntSetter>(p->setter)(object, param, CollateEqual(value, "True") ? 1 : 0);
      return true;
    case Conversion::kObject: {
      ObjectRecord* item = RuntimeProjectObject(Atol(value));
      // The setter takes the object for what the type says (a Backdrop is
      // read as a picture's fields): an item of another class is damage.
      ClassRecord* wanted = FindNamedClass(p->type);
      if (item && !ImageCheck(wanted && ClassIsa(item->cls, wanted),
                              "a stored value is of the wrong class")) {
        RuntimeUnlockObject(item);
        return false;
      }
      reinterpret_cast<ObjectSetter>(p->setter)(object, param, item);
      RuntimeUnlockObject(item);
      return true;
    }
  }
  return false;
}
