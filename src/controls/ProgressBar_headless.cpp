// Without real windows a progress bar has nothing to paint.
#include "controls/ProgressBar.h"

namespace controls {
void RegisterProgressBarClass() {}
void PaintProgressBar(ProgressBar&) {}
}  // namespace controls
