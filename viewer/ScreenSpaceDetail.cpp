// The level of detail the viewer draws curved shapes with.

#include "ScreenSpaceDetail.h"

#include <Inventor/nodes/SoComplexity.h>

// With the library's default object-space complexity (0.5) every one of the
// 257 drops is tessellated finely whatever its size on the screen. At this
// value a drop a few pixels wide, as in the start view, is a small
// polyhedron (a close look shows corners), one seen up close is round, and
// the software renderer draws more than twice as many frames. At 0.2 the
// distant drops are round too, but each frame costs about 9 ms more
// processor time, which halves the gain.
const float screenSpaceComplexity = 0.1f;

SoNode *
newScreenSpaceDetail(void)
{
  SoComplexity * detail = new SoComplexity;
  detail->type = SoComplexity::SCREEN_SPACE;
  detail->value = screenSpaceComplexity;
  return detail;
}
