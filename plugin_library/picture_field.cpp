// Icon and Image properties share one replacement rule so that the lock on a
// picture's description is always paired with its release.
#include "plugin_library/picture_field.h"

#include "plugin_library/runtime_services.h"

void ReplacePicture(PlugObject* slot, PictureDescription* description, PlugObject picture) {
  if (*slot) {
    UnlockPictureDescription(*slot, description);
    UnlockObject(*slot);
  }
  *description = PictureDescription{};
  *slot = picture;
  if (!picture) return;
  LockObject(picture);
  LockPictureDescription(picture, description);
}
