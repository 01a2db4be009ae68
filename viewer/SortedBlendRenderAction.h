#ifndef FOUNTAIN_VIEWER_SORTEDBLENDRENDERACTION_H
#define FOUNTAIN_VIEWER_SORTEDBLENDRENDERACTION_H

// The viewer's render action: the library's own, which sorts the
// transparent shapes back to front and then draws each of them by applying
// itself to that shape's path from the viewer's root. Here the sorted
// shapes are drawn in the library's order within one traversal instead,
// wherever that gives the same picture: when they all hang, each in a
// separator holding no other shape, below one separator that sets all its
// state before them (SortedBlendRenderAction.cpp says why and how). Any
// other scene is drawn path by path, as the library does. The action also
// draws opaque shapes nearest first where the picture stays the same
// (OpaqueFrontToBack.h), and, in the one traversal, spheres from display
// lists (SphereDisplayLists.h).

#include "OpaqueFrontToBack.h"
#include "SphereDisplayLists.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/lists/SoPathList.h>

#include <unordered_map>
#include <utility>

class SoGetBoundingBoxAction;
class SoNode;
class SoSearchAction;

class SortedBlendRenderAction : public SoGLRenderAction {
public:
  explicit SortedBlendRenderAction(const SbViewportRegion & viewport);
  ~SortedBlendRenderAction() override;

  // How the sorted transparent shapes of the last frame were drawn: in one
  // traversal (TRUE) or path by path (FALSE, also when there were none).
  SbBool drewSortedShapesTogether(void) const { return this->drewTogether; }

  // How many spheres the last frame drew from display lists.
  int drewSpheresFromLists(void) const { return this->sphereLists.drawnFromLists(); }

  // Whether the last frame drew some opaque shapes nearest first.
  SbBool drewOpaqueShapesNearestFirst(void) const { return this->drewNearestFirst; }

protected:
  void beginTraversal(SoNode * node) override;

private:
  static float distanceCB(void * closure, SoGLRenderAction * action);
  static AbortCode abortCB(void * closure);

  AbortCode drawSortedShapesAt(void);
  SbBool drawTogether(void);
  void drawOneByOne(void);
  SbBool holdsOnlyItsShape(SoNode * holder, const SoNode * shape);

  int frameDepth;
  int expected;           // sorted shapes found in this frame's traversal
  SoPathList sorted;      // their paths, in the order the library draws them
  SbBool passingThrough;  // drawing path by path: let the library traverse
  SbBool drewTogether;
  SbBool drewNearestFirst;

  // The shared traversal: the separator above the shapes, its depth in the
  // paths, the child at which the shapes are drawn, and whether they were.
  SoNode * parent;
  int parentDepth;
  int drawAt;
  SbBool drawing;
  SbBool drawn;

  SoGetBoundingBoxAction * boxAction;
  SoSearchAction * shapeSearch;
  // Which shape holders with more than leaves below them hold only their
  // own shape, by node and its id, so that unchanged holders are not
  // searched again; kept for one frame.
  std::unordered_map<const SoNode *, std::pair<SbUniqueId, bool>> holders, previousHolders;

  OpaqueFrontToBack opaqueOrder;
  SphereDisplayLists sphereLists;
};

#endif
