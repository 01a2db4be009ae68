// The sphere branch that every drop draws itself with.

#include "drops/DropBranch.h"

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTransform.h>

DropBranch
buildDropBranch(const SbVec3f & position, float radius)
{
  DropBranch branch;
  branch.root = new SoSeparator;

  branch.material = new SoMaterial;
  branch.material->emissiveColor.setValue(0.9f, 0.9f, 0.9f);
  branch.material->specularColor.setValue(0.9f, 0.9f, 0.9f);
  branch.material->transparency.setValue(0.7f);

  SoScale * scale = new SoScale;
  scale->scaleFactor = SbVec3f(radius, radius, radius);

  branch.transform = new SoTransform;
  branch.transform->translation = position;

  branch.root->addChild(branch.material);
  branch.root->addChild(branch.transform);
  branch.root->addChild(scale);
  branch.root->addChild(new SoSphere);
  return branch;
}
