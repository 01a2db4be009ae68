// Sorted transparent shapes drawn in one traversal.
//
// With sorted-object blending the library collects every transparent shape
// during the frame's traversal, sorts them back to front and then applies
// itself once to each shape's path from the viewer's root. For each of the
// fountain's 257 drops and three water surfaces that walks the viewer's
// headlight and camera and the scene's texture and spot light again, and
// Mesa then checks its state anew for every drop, because the texture and
// the light were switched off at the end of the path before and on again.
// That cost about 3 ms of processor time a frame at 1280 x 1024, a tenth of
// the frame (bench/RESULTS.md).
//
// This action keeps the library's collecting and sorting, and only changes
// how the sorted paths are walked. Each path the library applies is kept,
// not walked; once the last one has come, all are drawn in that order in
// one traversal: down the shared part of the paths to the separator above
// the shapes, through the children of that separator that set state
// before them (the scene's texture and light), and then into each shape's
// own separator in turn, as the library's path walk would have done. The
// picture is the same when
// - all the paths share their way down to one separator, and below it each
//   goes into a separator child that holds no other shape (so the state of
//   one shape cannot reach the next, and walking the whole child draws
//   just that shape);
// - the children of that separator before the first of those children set
//   state and hold nothing (they are walked once, where the library walks
//   them for every path), and between the first and the last of them no
//   child sets state except event callbacks, which draw nothing.
// Otherwise the paths are walked one by one, as the library does. The
// shared traversal stops the separator's walk through the render action's
// abort callback, which the viewer uses for nothing else but drawing opaque
// shapes nearest first (OpaqueFrontToBack.cpp) in the scene's walk. The
// library's sorting is kept by giving it, as a custom ordering, the same
// distance its default (the centre of the shape's bounding box) gives; the
// custom ordering also counts the sorted shapes, so the action knows which
// path is the last.

#include "SortedBlendRenderAction.h"
#include "WholePath.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SbPlane.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/caches/SoBoundingBoxCache.h>
#include <Inventor/elements/SoModelMatrixElement.h>
#include <Inventor/elements/SoViewVolumeElement.h>
#include <Inventor/elements/SoViewportRegionElement.h>
#include <Inventor/misc/SoChildList.h>
#include <Inventor/nodekits/SoBaseKit.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/SoFullPath.h>

#include <algorithm>
#include <climits>

SortedBlendRenderAction::SortedBlendRenderAction(const SbViewportRegion & viewport)
  : SoGLRenderAction(viewport),
    frameDepth(0),
    expected(0),
    passingThrough(FALSE),
    drewTogether(FALSE),
    drewNearestFirst(FALSE),
    parent(NULL),
    parentDepth(0),
    drawAt(0),
    drawing(FALSE),
    drawn(FALSE),
    boxAction(new SoGetBoundingBoxAction(viewport)),
    shapeSearch(new SoSearchAction),
    opaqueOrder(viewport)
{
  this->setSortedObjectOrderStrategy(CUSTOM_CALLBACK, distanceCB, this);
  this->shapeSearch->setType(SoShape::getClassTypeId());
  this->shapeSearch->setInterest(SoSearchAction::ALL);
  this->shapeSearch->setSearchingAll(TRUE);
}

SortedBlendRenderAction::~SortedBlendRenderAction()
{
  delete this->boxAction;
  delete this->shapeSearch;
}

// The distance by which the library sorts a transparent shape under its
// default ordering: that of the centre of the shape's bounding box from the
// camera's plane, computed as the library computes it.
float
SortedBlendRenderAction::distanceCB(void * closure, SoGLRenderAction * action)
{
  SortedBlendRenderAction * self = static_cast<SortedBlendRenderAction *>(closure);
  self->expected++;

  SoState * state = action->getState();
  // The action's current path is an SoTempPath, so an SoFullPath.
  const SoFullPath * path = static_cast<const SoFullPath *>(action->getCurPath());
  SoNode * tail = path->getTail();
  SbVec3f center;
  if (tail->isOfType(SoShape::getClassTypeId())) {
    SoShape * shape = static_cast<SoShape *>(tail);
    const SoBoundingBoxCache * cache = shape->getBoundingBoxCache();
    if (cache && cache->isValid(state)) {
      center = cache->getProjectedBox().getCenter();
    }
    else {
      SbBox3f box;
      shape->computeBBox(action, box, center);
    }
    SoModelMatrixElement::get(state).multVecMatrix(center, center);
  }
  else {
    SoPath * copy = path->copy();
    copy->ref();
    self->boxAction->setViewportRegion(SoViewportRegionElement::get(state));
    self->boxAction->apply(copy);
    copy->unref();
    center = self->boxAction->getBoundingBox().getCenter();
  }
  return -SoViewVolumeElement::get(state).getPlane(0.0f).getDistance(center);
}

void
SortedBlendRenderAction::beginTraversal(SoNode * node)
{
  if (this->frameDepth == 0) {
    // A frame: the library's traversal, its sorting and its drawing of the
    // sorted paths all happen inside.
    this->expected = 0;
    this->drewTogether = FALSE;
    this->previousHolders.swap(this->holders);
    this->holders.clear();
    this->opaqueOrder.beginFrame();
    this->sphereLists.resetCount();
    this->frameDepth++;
    this->setAbortCallback(abortCB, this);
    SoGLRenderAction::beginTraversal(node);
    this->setAbortCallback(NULL, NULL);
    this->frameDepth--;
    this->sorted.truncate(0);
    this->drewNearestFirst = this->opaqueOrder.drawnNearestFirst() > 0;
    return;
  }

  SoPath * path = this->getPathAppliedTo();
  if (!this->isRenderingTranspPaths() || this->passingThrough || !path ||
      this->expected <= 0 || this->getTransparentDelayedObjectRenderType() != ONE_PASS) {
    SoGLRenderAction::beginTraversal(node);
    return;
  }
  this->sorted.append(path);
  if (this->sorted.getLength() < this->expected) return;

  this->opaqueOrder.noteTransparent(this->sorted);
  this->drewTogether = this->drawTogether();
  if (!this->drewTogether) this->drawOneByOne();
  this->sorted.truncate(0);
  // A frame drawn in several passes sorts and counts again in each.
  this->expected = 0;
}

void
SortedBlendRenderAction::drawOneByOne(void)
{
  this->passingThrough = TRUE;
  for (int i = 0; i < this->sorted.getLength(); i++) this->apply(this->sorted[i]);
  this->passingThrough = FALSE;
}

SbBool
SortedBlendRenderAction::holdsOnlyItsShape(SoNode * holder, const SoNode * shape)
{
  // A holder with no group, kit or other holder of nodes below it, such as
  // a drop's, holds just its children: only its shape when that is the one
  // shape among them. A drop's id changes at every tick, so without this its
  // holder would be searched again at every tick.
  const SoChildList & children = *holder->getChildren();
  int shapes = 0;
  SbBool leaves = TRUE;
  SbBool holdsShape = FALSE;
  for (int i = 0; i < children.getLength() && leaves; i++) {
    leaves = children[i]->getChildren() == NULL;
    if (children[i]->isOfType(SoShape::getClassTypeId())) shapes++;
    if (children[i] == shape) holdsShape = TRUE;
  }
  if (leaves) return shapes == 1 && holdsShape;

  const SbUniqueId id = holder->getNodeId();
  auto known = this->holders.find(holder);
  if (known != this->holders.end() && known->second.first == id) return known->second.second;

  bool only;
  auto before = this->previousHolders.find(holder);
  if (before != this->previousHolders.end() && before->second.first == id) {
    only = before->second.second;
  }
  else {
    // Node kits hide their parts from searches unless asked.
    const SbBool kitsSearched = SoBaseKit::isSearchingChildren();
    SoBaseKit::setSearchingChildren(TRUE);
    this->shapeSearch->apply(holder);
    SoBaseKit::setSearchingChildren(kitsSearched);
    SoPathList & found = this->shapeSearch->getPaths();
    only = found.getLength() == 1 && wholeTail(found[0]) == shape;
    found.truncate(0);
  }
  this->holders[holder] = std::make_pair(id, only);
  return only;
}

SbBool
SortedBlendRenderAction::drawTogether(void)
{
  const int n = this->sorted.getLength();
  if (n < 2) return FALSE;

  // The deepest node that all paths reach by the same way: the library's
  // fork of each path with the first, over the whole paths (-1 where the
  // heads differ).
  const SoPath * first = this->sorted[0];
  int shared = wholeLength(first) - 1;
  for (int i = 1; i < n && shared >= 0; i++)
    shared = std::min(shared, this->sorted[i]->findFork(first));
  if (shared < 0) return FALSE;
  SoNode * above = first->getNode(shared);
  if (!above->isOfType(SoSeparator::getClassTypeId())) return FALSE;
  const SoChildList & children = *above->getChildren();

  // Below it, each path goes into a separator that holds only its shape.
  int lowest = INT_MAX;
  int highest = -1;
  for (int i = 0; i < n; i++) {
    const SoPath * p = this->sorted[i];
    const int length = wholeLength(p);
    if (length <= shared + 1) return FALSE;
    SoNode * holder = p->getNode(shared + 1);
    if (!holder->isOfType(SoSeparator::getClassTypeId())) return FALSE;
    if (!this->holdsOnlyItsShape(holder, p->getNode(length - 1))) return FALSE;
    lowest = std::min(lowest, p->getIndex(shared + 1));
    highest = std::max(highest, p->getIndex(shared + 1));
  }

  // Before the first holder: children that set state and hold nothing, up
  // to the first that does not; from there to the last holder nothing that
  // sets state but event callbacks.
  int stateEnd = 0;
  while (stateEnd < lowest && children[stateEnd]->affectsState() &&
         !children[stateEnd]->getChildren())
    stateEnd++;
  for (int j = stateEnd; j < highest; j++) {
    if (children[j]->affectsState() &&
        !children[j]->isOfType(SoEventCallback::getClassTypeId()))
      return FALSE;
  }

  // Down the shared way to the separator, which then walks its children;
  // at child stateEnd the abort callback draws the holders in order
  // (drawSortedShapesAt) and ends the separator's walk.
  this->parent = above;
  this->parentDepth = shared;
  this->drawAt = stateEnd;
  this->drawn = FALSE;
  SoPath * way = first->copy(0, shared + 1);
  way->ref();
  this->switchToPathTraversal(way);
  way->unref();
  this->parent = NULL;
  return this->drawn;
}

// At every child of every separator the frame walks: the sorted shapes'
// shared traversal, or else the scene's own walk.
SoGLRenderAction::AbortCode
SortedBlendRenderAction::abortCB(void * closure)
{
  SortedBlendRenderAction * self = static_cast<SortedBlendRenderAction *>(closure);
  if (self->parent) return self->drawSortedShapesAt();
  if (self->isRenderingDelayedPaths() || self->isRenderingTranspPaths()) return CONTINUE;
  return self->opaqueOrder.drawRest(self) ? PRUNE : CONTINUE;
}

// In the shared traversal, at the separator's child stateEnd: every kept
// path's holder, in the library's order, then the end of the walk.
SoGLRenderAction::AbortCode
SortedBlendRenderAction::drawSortedShapesAt(void)
{
  if (this->drawing || this->drawn) return CONTINUE;
  // The action's current path is an SoTempPath, so an SoFullPath.
  const SoFullPath * at = static_cast<const SoFullPath *>(this->getCurPath());
  const int depth = this->parentDepth;
  if (at->getLength() != depth + 2 || at->getNode(depth) != this->parent) return CONTINUE;
  const int index = at->getIndex(depth + 1);
  if (index < this->drawAt) return CONTINUE;

  this->drawing = TRUE;
  SoNode * here = at->getTail();
  for (int i = 0; i < this->sorted.getLength(); i++) {
    const SoPath * p = this->sorted[i];
    SoNode * holder = p->getNode(depth + 1);
    this->popPushCurPath(p->getIndex(depth + 1), holder);
    if (!this->sphereLists.drawHolder(this, holder, wholeTail(p))) this->traverse(holder);
  }
  this->popPushCurPath(index, here);
  this->drawing = FALSE;
  this->drawn = TRUE;
  return PRUNE;
}
