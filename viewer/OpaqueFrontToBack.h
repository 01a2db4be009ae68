#ifndef FOUNTAIN_VIEWER_OPAQUEFRONTTOBACK_H
#define FOUNTAIN_VIEWER_OPAQUEFRONTTOBACK_H

// Opaque shapes drawn nearest first, so that the depth test turns away the
// hidden pixels of the shapes behind them before they are textured, where
// that gives the same picture (OpaqueFrontToBack.cpp says when). Part of
// the viewer's render action (SortedBlendRenderAction.h), which calls it
// from its abort callback.

#include <Inventor/SbBasic.h>
#include <Inventor/SbLinear.h>

#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class SbViewportRegion;
class SoGetBoundingBoxAction;
class SoGLRenderAction;
class SoNode;
class SoPathList;

class OpaqueFrontToBack {
public:
  explicit OpaqueFrontToBack(const SbViewportRegion & viewport);
  ~OpaqueFrontToBack();
  OpaqueFrontToBack(const OpaqueFrontToBack &) = delete;
  OpaqueFrontToBack & operator=(const OpaqueFrontToBack &) = delete;

  // At the start of every frame: what this frame learns is kept for the next.
  void beginFrame(void);

  // The frame's sorted transparent shapes, once all are known.
  void noteTransparent(const SoPathList & paths);

  // For the render action's abort callback while it walks the scene itself
  // (not its sorted paths), at each child of each separator. Where the
  // separator being walked qualifies, draws all its children from this one
  // on, the separators of opaque shapes nearest first and then the others
  // in their order, and returns TRUE: the callback then ends that
  // separator's walk.
  SbBool drawRest(SoGLRenderAction * action);

  // How many separators were drawn nearest first in this frame so far.
  int drawnNearestFirst(void) const { return this->drawn; }

private:
  SbBool knownOpaque(const SoNode * node) const;
  float distance(SoGLRenderAction * action, SoNode * piece);

  // Separators met as children of separators, by node and its id, and the
  // separators on the paths of sorted transparent shapes: this frame's, and
  // the last frame's, which decide.
  std::unordered_map<const SoNode *, SbUniqueId> met, metBefore;
  std::unordered_set<const SoNode *> transparent, transparentBefore;

  // Separators that did not qualify in this frame, so that they are not
  // looked at again at every child.
  std::vector<const SoNode *> refused;

  // The centres of the separators' bounding boxes in their parents' space,
  // by node and its id; kept for one frame.
  struct Centre {
    SbUniqueId id;
    SbVec3f point;
    bool empty;  // nothing to draw: no centre
  };
  std::unordered_map<const SoNode *, Centre> centres, centresBefore;
  SoGetBoundingBoxAction * boxAction;

  int drawn;
};

#endif
