#pragma once
// The two program-wide objects the pages share: the identity catalogue and
// the restore plan. The wizard window creates them when it loads and
// releases them when it unloads.
#include "catalog/cProcessItem.h"
#include "catalog/clsRestore.h"

namespace shared {

void CreateSharedObjects();   // reads the registry for the catalogue
void ReleaseSharedObjects();
bool HaveSharedObjects();

// Valid between Create and Release.
cProcessItem& Catalogue();
clsRestore& RestorePlan();

}  // namespace shared
