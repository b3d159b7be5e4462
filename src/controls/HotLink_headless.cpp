// Without real windows the mouse can always be captured and released.
#include "controls/HotLink.h"

namespace controls {
void RegisterHotLinkClass() {}
void RefreshHotLink(HotLink&) {}
bool CaptureMouseFor(void*) { return true; }
bool ReleaseMouseFrom(void*) { return true; }
}  // namespace controls
