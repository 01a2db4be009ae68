// Back faces of the opaque solids, skipped.
//
// The library's cubes, cylinders, cones and spheres are closed and give
// their faces counter-clockwise, but without shape hints it does not know
// that and draws every back face too. Of an opaque closed shape the back
// faces are always hidden behind its front faces, yet a software renderer
// spends time filling the pixels of those drawn first before the front
// faces cover them. Declared solid, the back faces are culled and the
// picture stays the same, as long as the camera is outside the shapes.
//
// Transparent shapes must keep their back faces, which show through the
// front ones: the hint is given only while the opaque shapes are drawn, not
// while the viewer draws the delayed transparent ones, and shapes that give
// their own hints (the water) keep those.

#include "SolidShapes.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoShapeHintsElement.h>
#include <Inventor/nodes/SoCallback.h>

namespace {

void
solidShapesCB(void * node, SoAction * action)
{
  if (!action->isOfType(SoGLRenderAction::getClassTypeId())) return;
  if (static_cast<SoGLRenderAction *>(action)->isRenderingTranspPaths()) return;
  SoState * state = action->getState();
  SoShapeHintsElement::set(state, static_cast<SoNode *>(node),
                           SoShapeHintsElement::COUNTERCLOCKWISE, SoShapeHintsElement::SOLID,
                           SoShapeHintsElement::getFaceType(state));
}

}

SoNode *
newSolidOpaqueShapes(void)
{
  SoCallback * solid = new SoCallback;
  solid->setCallback(solidShapesCB, solid);
  return solid;
}
