#include "catalog/SharedObjects.h"

#include <memory>
#include <stdexcept>

namespace shared {

namespace {
std::unique_ptr<cProcessItem> g_catalogue;
std::unique_ptr<clsRestore> g_plan;
}  // namespace

void CreateSharedObjects() {
  g_catalogue = std::make_unique<cProcessItem>();
  g_plan = std::make_unique<clsRestore>();
}

void ReleaseSharedObjects() {
  g_catalogue.reset();
  g_plan.reset();
}

bool HaveSharedObjects() { return g_catalogue != nullptr; }

cProcessItem& Catalogue() {
  if (!g_catalogue) throw std::logic_error("the identity catalogue is not loaded");
  return *g_catalogue;
}

clsRestore& RestorePlan() {
  if (!g_plan) throw std::logic_error("the restore plan is not loaded");
  return *g_plan;
}

}  // namespace shared
