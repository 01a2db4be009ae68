// The drops' spheres drawn from display lists.
//
// The library draws a sphere vertex by vertex, a normal, a texture
// coordinate and a position at a time, at every frame: for the fountain's
// 257 drops over 25 000 calls a frame, each of which Mesa's GL thread
// receives, copies and turns into vertex buffers again. All the drops are
// the same unit sphere at a handful of levels of detail, so the same
// vertices are sent over and over. Here each sphere the library would draw
// is drawn instead from a display list that holds exactly those calls,
// recorded once, from the library's own tessellation, for each radius,
// level of detail and kind of vertex data; Mesa keeps a recorded list in a
// vertex buffer and draws it with one call. On a two-core machine that
// took half a millisecond or more of processor time a frame off each of
// the main thread and Mesa's GL thread (bench/RESULTS.md).
//
// The sphere's separator is walked as the library walks it (the same cull
// test, state and path, the abort callback at each child), but without
// looking for a render cache of its own: the library never keeps one for a
// drop, whose transform changes at every tick. Everything but the sphere
// is drawn by the library. The picture is the library's: the display list
// holds the same calls with the same numbers, and the end-to-end pixel
// tests compare the fountain drawn so with the library's own drawing.
// Where a list could differ, the sphere is drawn as the library draws it:
// texture units beyond the first, a subclass of the sphere or the
// separator, a separator asked to cache, or a render cache being built.

#include "SphereDisplayLists.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/bundles/SoMaterialBundle.h>
#include <Inventor/elements/SoComplexityTypeElement.h>
#include <Inventor/elements/SoGLCacheContextElement.h>
#include <Inventor/elements/SoGLDisplayList.h>
#include <Inventor/elements/SoMultiTextureCoordinateElement.h>
#include <Inventor/elements/SoMultiTextureEnabledElement.h>
#include <Inventor/misc/SoChildList.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include <cstring>

// The library's sphere tessellation, which it exports but declares only in
// a header of its own sources. A change to its parameters would fail the
// link, not the drawing.
void sogl_render_sphere(float radius, int numstacks, int numslices,
                        SoMaterialBundle * material, unsigned int flags, SoState * state);

namespace {

// The library's flags for what vertex data a shape sends.
const unsigned int needNormals = 0x10;
const unsigned int needTexCoords = 0x20;

// The levels of detail a sphere of full complexity has.
const float sphereSlices = 30.0f;

// The protected calls of the library's shapes and separators that its own
// drawing makes, reached as a subclass may reach them.
struct ShapeCalls : SoSphere {
  static SbBool drawn(SoSphere * sphere, SoGLRenderAction * action) {
    SbBool (SoShape::*call)(SoGLRenderAction *) = &ShapeCalls::shouldGLRender;
    return (sphere->*call)(action);
  }
  static float complexity(SoSphere * sphere, SoAction * action) {
    float (SoShape::*call)(SoAction *) = &ShapeCalls::getComplexityValue;
    return (sphere->*call)(action);
  }
};

struct SeparatorCalls : SoSeparator {
  static SbBool culled(SoSeparator * separator, SoState * state) {
    SbBool (SoSeparator::*call)(SoState *) = &SeparatorCalls::cullTest;
    return (separator->*call)(state);
  }
};

}

SphereDisplayLists::~SphereDisplayLists()
{
  // The library deletes each list when its context is next current.
  for (auto & entry : this->lists) entry.second->unref(NULL);
}

SbBool
SphereDisplayLists::drawHolder(SoGLRenderAction * action, SoNode * holder, SoNode * shape)
{
  if (holder->getTypeId() != SoSeparator::getClassTypeId() ||
      shape->getTypeId() != SoSphere::getClassTypeId()) {
    return FALSE;
  }
  SoSeparator * separator = static_cast<SoSeparator *>(holder);
  if (separator->renderCaching.getValue() == SoSeparator::ON) return FALSE;
  SoState * state = action->getState();
  // The state keeps whether a render cache is open; no need to walk the
  // cache elements for every drop.
  if (state->isCacheOpen()) return FALSE;
  SoSphere * sphere = static_cast<SoSphere *>(shape);

  // As the library's separator draws its children when it has no cache.
  state->push();
  if (!SeparatorCalls::culled(separator, state)) {
    const SoChildList & children = *holder->getChildren();
    action->pushCurPath();
    for (int i = 0; i < children.getLength() && !action->hasTerminated(); i++) {
      SoNode * child = children[i];
      action->popPushCurPath(i, child);
      if (action->abortNow()) break;
      if (child == sphere) this->drawSphere(action, sphere);
      else child->GLRenderBelowPath(action);
    }
    action->popCurPath();
  }
  state->pop();
  return TRUE;
}

// As the library's sphere draws itself, with the tessellation's calls from
// a display list.
void
SphereDisplayLists::drawSphere(SoGLRenderAction * action, SoSphere * sphere)
{
  if (!ShapeCalls::drawn(sphere, action)) return;
  SoState * state = action->getState();
  SoMaterialBundle material(action);
  material.sendFirst();

  // The library asks for two-dimensional texture coordinates whenever the
  // first texture unit is on, whatever the texture's kind.
  const SbBool textures = SoMultiTextureEnabledElement::get(state, 0);
  const SbBool normals =
    !material.isColorOnly() ||
    SoMultiTextureCoordinateElement::getType(state, 0) == SoMultiTextureCoordinateElement::FUNCTION;
  const float complexity = SbClamp(ShapeCalls::complexity(sphere, action), 0.0f, 1.0f);
  const int detail = int(sphereSlices * complexity);
  unsigned int flags = 0;
  if (normals) flags |= needNormals;
  if (textures) flags |= needTexCoords;
  const float radius = sphere->radius.getValue();

  // Coordinates for further texture units would come from the state of the
  // moment; those are sent as the library sends them.
  int lastUnit = 0;
  if ((flags & needTexCoords) &&
      SoMultiTextureEnabledElement::getEnabledUnits(state, lastUnit) && lastUnit > 0) {
    sogl_render_sphere(radius, detail, detail, &material, flags, state);
    return;
  }

  uint32_t radiusBits;
  std::memcpy(&radiusBits, &radius, sizeof radiusBits);
  const Key key(SoGLCacheContextElement::get(state), radiusBits, detail, flags);
  auto found = this->lists.find(key);
  if (found == this->lists.end()) {
    SoGLDisplayList * list = new SoGLDisplayList(state, SoGLDisplayList::DISPLAY_LIST);
    list->ref();
    this->lists[key] = list;
    // Recorded, then drawn.
    list->open(state);
    sogl_render_sphere(radius, detail, detail, &material, flags, state);
    list->close(state);
  }
  else {
    found->second->call(state);
    // What the tessellation tells the library's caching, as it would.
    if (SoComplexityTypeElement::get(state) == SoComplexityTypeElement::OBJECT_SPACE) {
      SoGLCacheContextElement::shouldAutoCache(state, SoGLCacheContextElement::DO_AUTO_CACHE);
      SoGLCacheContextElement::incNumShapes(state);
    }
    else {
      SoGLCacheContextElement::shouldAutoCache(state, SoGLCacheContextElement::DONT_AUTO_CACHE);
    }
  }
  this->fromLists++;
}
