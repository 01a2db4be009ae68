// What the viewer draws: the scene, wrapped in the viewer's render settings,
// much as the Qt viewer adds its own camera and headlight above a scene.

#include "ShownScene.h"

#include "OpaqueFlush.h"
#include "ScreenSpaceDetail.h"
#include "SolidShapes.h"

#include <Inventor/nodes/SoSeparator.h>

SoSeparator *
shownScene(SoNode * root)
{
  SoSeparator * shown = new SoSeparator;
  shown->addChild(newScreenSpaceDetail());
  shown->addChild(newSolidOpaqueShapes());
  shown->addChild(root);
  shown->addChild(newOpaqueFlush());
  return shown;
}
