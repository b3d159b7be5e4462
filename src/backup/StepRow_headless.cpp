// No real windows on the native build: the step rows keep their state only.
#include "backup/StepRow.h"

namespace backup {

void ShowBold(void*, bool) {}
void ShowMarkerBitmap(void*, int) {}

}  // namespace backup
