// Without real windows a scroll bar has no thumb to show.
#include "controls/ScrollBar.h"

namespace controls {
void ScrollBarShow(void*, int, int) {}
int ScrollBarTrackPosition(void*) { return 0; }
}  // namespace controls
