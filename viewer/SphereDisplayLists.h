#ifndef FOUNTAIN_VIEWER_SPHEREDISPLAYLISTS_H
#define FOUNTAIN_VIEWER_SPHEREDISPLAYLISTS_H

// The drops' spheres drawn from display lists (SphereDisplayLists.cpp says
// why and when).

#include <Inventor/SbBasic.h>

#include <cstdint>
#include <map>
#include <tuple>

class SoGLDisplayList;
class SoGLRenderAction;
class SoNode;
class SoSphere;

class SphereDisplayLists {
public:
  SphereDisplayLists(void) = default;
  ~SphereDisplayLists();
  SphereDisplayLists(const SphereDisplayLists &) = delete;
  SphereDisplayLists & operator=(const SphereDisplayLists &) = delete;

  // Draws a separator as the library draws it, but with the given sphere,
  // where it is one of the separator's children, from a display list.
  // Draws nothing and returns FALSE when the separator or the shape is of
  // another type (a subclass included), when the separator asks for render
  // caching, and while a render cache is being built.
  SbBool drawHolder(SoGLRenderAction * action, SoNode * holder, SoNode * shape);

  // How many spheres came from display lists since the count was reset.
  int drawnFromLists(void) const { return this->fromLists; }
  void resetCount(void) { this->fromLists = 0; }

private:
  void drawSphere(SoGLRenderAction * action, SoSphere * sphere);

  // By cache context, radius (its bits), level of detail and the kinds of
  // vertex data sent.
  using Key = std::tuple<int, uint32_t, int, unsigned int>;
  std::map<Key, SoGLDisplayList *> lists;
  int fromLists = 0;
};

#endif
