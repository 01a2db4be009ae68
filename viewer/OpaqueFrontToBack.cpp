// Opaque shapes drawn nearest first.
//
// The library draws the opaque shapes in the order of the scene graph. The
// fountain's masonry starts with the back wall, and each basin is drawn
// over the wall and the basins below it, so the software renderer textures
// many pixels that a nearer shape later covers. Drawn nearest first, those
// pixels fail the depth test before they are textured: at 1280 x 1024 the
// fountain took 5 % less processor time a frame, and without its drops 10 %
// (bench/RESULTS.md).
//
// The scene graph keeps its order; only the render action's walk of one
// separator's children changes. When the walk reaches a child that is
// known to draw only opaque shapes, that child and all after it are drawn
// here: first every such child, nearest first (by the centre of its
// bounding box, as the library measures the distance of a transparent
// shape), then the other children in their order. The picture is the same
// as long as
// - each child drawn out of order is a separator, whose state cannot reach
//   the children after it;
// - the children it moves past set no state (separators, and event
//   callbacks, which draw nothing), so every child sees the state it sees
//   in the library's order;
// - opaque shapes meet the depth test alone, so their order shows only
//   where two of them lie at exactly the same depth.
// A separator "known to draw only opaque shapes" was met in the last frame
// unchanged (same node id) and was not on the path of any transparent shape
// the library sorted then; so transparent shapes keep the order in which
// the library collects them. Only the children of a separator that held
// transparent shapes in the last frame are reordered: such a separator is
// never render-cached (its transparent shapes are drawn later, out of any
// cache), so ending its walk early costs no cache. Nor is a separator
// reordered while a render cache is being recorded.

#include "OpaqueFrontToBack.h"
#include "WholePath.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SbPlane.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoFullPath.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/elements/SoModelMatrixElement.h>
#include <Inventor/elements/SoViewVolumeElement.h>
#include <Inventor/elements/SoViewportRegionElement.h>
#include <Inventor/lists/SoPathList.h>
#include <Inventor/misc/SoChildList.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoSeparator.h>

#include <algorithm>
#include <cfloat>

OpaqueFrontToBack::OpaqueFrontToBack(const SbViewportRegion & viewport)
  : boxAction(new SoGetBoundingBoxAction(viewport)), drawn(0)
{
}

OpaqueFrontToBack::~OpaqueFrontToBack()
{
  delete this->boxAction;
}

void
OpaqueFrontToBack::beginFrame(void)
{
  this->met.swap(this->metBefore);
  this->met.clear();
  this->transparent.swap(this->transparentBefore);
  this->transparent.clear();
  this->centres.swap(this->centresBefore);
  this->centres.clear();
  this->refused.clear();
  this->drawn = 0;
}

void
OpaqueFrontToBack::noteTransparent(const SoPathList & paths)
{
  for (int i = 0; i < paths.getLength(); i++) {
    const SoPath * path = paths[i];
    const int length = wholeLength(path);
    for (int k = 0; k < length; k++) {
      const SoNode * node = path->getNode(k);
      if (node->isOfType(SoSeparator::getClassTypeId())) this->transparent.insert(node);
    }
  }
}

SbBool
OpaqueFrontToBack::knownOpaque(const SoNode * node) const
{
  const auto known = this->metBefore.find(node);
  return known != this->metBefore.end() && known->second == node->getNodeId() &&
         this->transparentBefore.count(node) == 0;
}

// The distance of a separator's bounding-box centre from the camera's
// plane, as the library measures that of a transparent shape; separators
// with nothing to draw come last.
float
OpaqueFrontToBack::distance(SoGLRenderAction * action, SoNode * piece)
{
  const SbUniqueId id = piece->getNodeId();
  Centre centre;
  const auto before = this->centresBefore.find(piece);
  if (before != this->centresBefore.end() && before->second.id == id) {
    centre = before->second;
  }
  else {
    SoState * state = action->getState();
    this->boxAction->setViewportRegion(SoViewportRegionElement::get(state));
    this->boxAction->apply(piece);
    const SbBox3f box = this->boxAction->getBoundingBox();
    const bool empty = box.isEmpty() != FALSE;
    centre = { id, empty ? SbVec3f(0.0f, 0.0f, 0.0f) : box.getCenter(), empty };
  }
  this->centres[piece] = centre;
  if (centre.empty) return FLT_MAX;

  SoState * state = action->getState();
  SbVec3f world;
  SoModelMatrixElement::get(state).multVecMatrix(centre.point, world);
  return -SoViewVolumeElement::get(state).getPlane(0.0f).getDistance(world);
}

SbBool
OpaqueFrontToBack::drawRest(SoGLRenderAction * action)
{
  // The action's current path is an SoTempPath, so an SoFullPath.
  const SoFullPath * at = static_cast<const SoFullPath *>(action->getCurPath());
  const int length = at->getLength();
  if (length < 2) return FALSE;
  SoNode * here = at->getTail();
  SoNode * parent = at->getNode(length - 2);
  if (!here->isOfType(SoSeparator::getClassTypeId()) ||
      !parent->isOfType(SoSeparator::getClassTypeId()))
    return FALSE;
  this->met[here] = here->getNodeId();
  if (!this->knownOpaque(here) || this->transparentBefore.count(parent) == 0 ||
      action->getState()->isCacheOpen() ||
      std::find(this->refused.begin(), this->refused.end(), parent) != this->refused.end())
    return FALSE;

  // The children from here on: the opaque separators, and the others, which
  // up to the last opaque one must set no state.
  const SoChildList & children = *parent->getChildren();
  const int first = at->getIndex(length - 1);
  std::vector<std::pair<float, int>> pieces;
  std::vector<int> others;
  int last = first;
  for (int j = first; j < children.getLength(); j++) {
    SoNode * child = children[j];
    if (child->isOfType(SoSeparator::getClassTypeId()) && this->knownOpaque(child)) {
      pieces.emplace_back(0.0f, j);
      last = j;
    }
    else {
      others.push_back(j);
    }
  }
  for (int j : others) {
    if (j > last) break;
    if (children[j]->affectsState() && !children[j]->isOfType(SoEventCallback::getClassTypeId())) {
      pieces.clear();
      break;
    }
  }
  if (pieces.size() < 2) {
    this->refused.push_back(parent);
    return FALSE;
  }

  for (auto & piece : pieces) piece.first = this->distance(action, children[piece.second]);
  std::stable_sort(pieces.begin(), pieces.end(),
                   [](const std::pair<float, int> & a, const std::pair<float, int> & b) {
                     return a.first < b.first;
                   });

  // Drawn as the separator's own walk draws each child. The walk does not
  // meet these children, so they are noted as met here.
  auto draw = [this, action, &children](int j) {
    SoNode * child = children[j];
    if (child->isOfType(SoSeparator::getClassTypeId())) this->met[child] = child->getNodeId();
    if (action->hasTerminated()) return;
    action->popPushCurPath(j, child);
    child->GLRenderBelowPath(action);
  };
  for (const auto & piece : pieces) draw(piece.second);
  for (int j : others) draw(j);
  action->popPushCurPath(first, here);
  this->drawn++;
  return TRUE;
}
