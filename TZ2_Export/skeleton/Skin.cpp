// Skin. The configuration check is not built yet: nothing is changed.
#include "TZ2_Export/skeleton/Skin.h"

namespace tz2 {

bool EnsureRigidDeformations() { return false; }

}  // namespace tz2
