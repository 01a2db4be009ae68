#ifndef FOUNTAIN_DROPBRANCH_H
#define FOUNTAIN_DROPBRANCH_H

// The scene branch shared by every kind of drop: a separator holding a
// half-transparent white material, a transform, a scale and a unit sphere.

#include <Inventor/SbLinear.h>

class SoMaterial;
class SoSeparator;
class SoTransform;

struct DropBranch {
  SoSeparator * root;
  SoMaterial * material;
  SoTransform * transform;
};

DropBranch buildDropBranch(const SbVec3f & position, float radius);

#endif
