#include "catalog/cProcessItem.h"

#include "catalog/DataLocations.h"
#include "catalog/ItemFlags.h"
#include "registry/RegistryRoutines.h"

cProcessItem::cProcessItem() {
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.Subkey("");
  ids_ = TextList(reg.EnumRegistryKeys(kHkeyCurrentUser, DataLocations::kIdentitiesKey));

  // Nameless identities leave the list; the next one moves into their place.
  for (std::int32_t k = 1; k <= ids_.Count();) {
    reg.KeyRoot(DataLocations::IdentityKey(ids_.At(k)));
    std::string name = reg.GetRegistryValue(DataLocations::kUsernameValue, "").AsText();
    if (name.empty() || name == "Error!") {
      ids_.Remove(k);
    } else {
      identities_.Add(name);
      ++k;
    }
  }
  for (std::int32_t k = 1; k <= ids_.Count(); ++k) detail_.Add(ItemFlags::kAll);
}
