#pragma once
// The identity catalogue: the mail client's identities of the current user,
// read once from HKEY_CURRENT_USER\Identities. Index-aligned lists from 1:
// position k of each list is the same identity.
#include "helpers/OneBasedList.h"

class cProcessItem {
 public:
  cProcessItem();  // reads the registry; never fails

  TextList& Identities() { return identities_; }
  TextList& IdentitiesID() { return ids_; }
  TextList& Detail() { return detail_; }
  OneBasedList<bool>& SelectIdentity() { return selected_; }
  const TextList& Identities() const { return identities_; }
  const TextList& IdentitiesID() const { return ids_; }
  const TextList& Detail() const { return detail_; }
  const OneBasedList<bool>& SelectIdentity() const { return selected_; }

  void Identities(TextList list) { identities_ = std::move(list); }
  void IdentitiesID(TextList list) { ids_ = std::move(list); }
  void Detail(TextList list) { detail_ = std::move(list); }
  void SelectIdentity(OneBasedList<bool> list) { selected_ = std::move(list); }

 private:
  TextList identities_;
  TextList ids_;
  TextList detail_;
  OneBasedList<bool> selected_;
};
