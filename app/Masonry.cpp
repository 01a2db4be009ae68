// Builders of the fountain's marble blocks, stone slabs and metal pipes.

#include "app/Masonry.h"

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
#include <Inventor/nodes/SoRotation.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTexture2.h>
#include <Inventor/nodes/SoTransform.h>

namespace {

const float PI = 3.14159265358979f;

SoTexture2 *
texture(const char * filename)
{
  SoTexture2 * node = new SoTexture2;
  node->filename = filename;
  return node;
}

SoTransform *
translation(float x, float y, float z)
{
  SoTransform * node = new SoTransform;
  node->translation = SbVec3f(x, y, z);
  return node;
}

SoScale *
scale(float sx, float sy, float sz)
{
  SoScale * node = new SoScale;
  node->scaleFactor = SbVec3f(sx, sy, sz);
  return node;
}

// A box of full extents sx, sy, sz centred at (x, y, z).
SoSeparator *
buildBox(SoTexture2 * surface, float x, float y, float z, float sx, float sy, float sz)
{
  SoSeparator * piece = new SoSeparator;
  piece->addChild(surface);
  piece->addChild(translation(x, y, z));
  piece->addChild(scale(sx / 2.0f, sy / 2.0f, sz / 2.0f));
  piece->addChild(new SoCube);
  return piece;
}

// A metal cylinder of diameter d and length l centred at (x, y, z), its axis
// turned from +y about x by the given angle.
SoSeparator *
buildPipe(float x, float y, float z, float d, float l, float angle)
{
  SoSeparator * piece = new SoSeparator;
  piece->addChild(texture("textures/metal.jpg"));
  piece->addChild(translation(x, y, z));
  SoRotation * tilt = new SoRotation;
  tilt->rotation = SbRotation(SbVec3f(1.0f, 0.0f, 0.0f), angle);
  piece->addChild(tilt);
  piece->addChild(scale(d / 2.0f, l / 2.0f, d / 2.0f));
  piece->addChild(new SoCylinder);
  return piece;
}

}

SoSeparator *
buildMarbleBlock(float x, float y, float z, float sx, float sy, float sz)
{
  SoTexture2 * marble = texture("textures/marble.jpg");
  marble->wrapS = SoTexture2::REPEAT;
  return buildBox(marble, x, y, z, sx, sy, sz);
}

SoSeparator *
buildStoneSlab(float x, float y, float z, float sx, float sy, float sz)
{
  return buildBox(texture("textures/stone.jpg"), x, y, z, sx, sy, sz);
}

SoSeparator *
buildSpout(float x, float y, float z, float d, float l)
{
  return buildPipe(x, y, z, d, l, PI / 16.0f);
}

SoSeparator *
buildUprightPipe(float x, float y, float z, float d, float l)
{
  return buildPipe(x, y, z, d, l, PI / 2.0f);
}
