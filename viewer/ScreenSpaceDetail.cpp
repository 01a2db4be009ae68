// The level of detail the viewer draws curved shapes with.

#include "ScreenSpaceDetail.h"

#include <Inventor/nodes/SoComplexity.h>
#include <Inventor/nodes/SoSeparator.h>

// Drops seen from the start view lose no visible roundness at this value,
// and the software renderer draws twice as many frames as with the library's
// default object-space complexity (0.5), which tessellates every one of the
// 257 drops finely whatever its size on the screen.
const float screenSpaceComplexity = 0.1f;

SoSeparator *
withScreenSpaceDetail(SoNode * root)
{
  SoSeparator * shown = new SoSeparator;
  SoComplexity * detail = new SoComplexity;
  detail->type = SoComplexity::SCREEN_SPACE;
  detail->value = screenSpaceComplexity;
  shown->addChild(detail);
  shown->addChild(root);
  return shown;
}
