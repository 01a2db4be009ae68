// Sizing the water surface: the three vertex buffers, the flat grid, the
// triangle strips and the parts that draw the water.

#include "wave/PointBuffer.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedTriangleStripSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoNormalBinding.h>
#include <Inventor/nodes/SoShapeHints.h>
#include <Inventor/nodes/SoTextureCoordinateEnvironment.h>

#include <algorithm>
#include <cassert>
#include <memory>
#include <new>

namespace {

bool
isBuildableSize(int32_t w, int32_t h)
{
  return w >= 2 && h >= 2 &&
         w <= WaveSurfaceKit::maxResolution && h <= WaveSurfaceKit::maxResolution;
}

int32_t
clampedSize(int32_t n)
{
  return std::min(std::max(n, int32_t(2)), WaveSurfaceKit::maxResolution);
}

}

void
WaveSurfaceKit::rebuildMesh(void)
{
  int32_t W = this->width.getValue();
  int32_t H = this->height.getValue();

  // A size the grid cannot have (fewer than two vertices along an axis, or
  // more than the buffers may hold) keeps the mesh the kit already has; a kit
  // that has none yet gets the nearest size it can have.
  if (!isBuildableSize(W, H)) {
    if (this->curPoints) return;
    W = clampedSize(W);
    H = clampedSize(H);
  }

  const int32_t numPoints = W * H;
  const int32_t numIndices = (W - 1) * (2 * H + 1);

  PointBuffer::Owned prev, cur, next;
  std::unique_ptr<int32_t[]> indices;
  try {
    prev.reset(PointBuffer::allocate(numPoints));
    cur.reset(PointBuffer::allocate(numPoints));
    next.reset(PointBuffer::allocate(numPoints));
    indices.reset(new int32_t[numIndices]);
  }
  catch (const std::bad_alloc &) {
    if (this->curPoints) return;  // keep the mesh we have
    throw;
  }

  this->rowLength = H;
  this->numRows = W;
  PointBuffer::deallocate(this->prevPoints);
  PointBuffer::deallocate(this->curPoints);
  PointBuffer::deallocate(this->nextPoints);
  this->prevPoints = prev.release();
  this->curPoints = cur.release();
  this->nextPoints = next.release();

  for (int32_t i = 0; i < W; i++) {
    const float x = float(2.0 * i / (W - 1) - 1.0);
    for (int32_t j = 0; j < H; j++) {
      const float y = float(2.0 * j / (H - 1) - 1.0);
      const SbVec3f v(x, y, 0.0f);
      this->prevPoints[i * H + j] = v;
      this->curPoints[i * H + j] = v;
      this->nextPoints[i * H + j] = v;
    }
  }

  // One strip per pair of neighbouring rows, alternating between them.
  int32_t k = 0;
  for (int32_t s = 0; s < W - 1; s++) {
    for (int32_t j = 0; j < H; j++) {
      indices[k++] = s * H + j;
      indices[k++] = (s + 1) * H + j;
    }
    indices[k++] = -1;
  }
  assert(numIndices == k);

  SoShapeHints * hints = new SoShapeHints;
  hints->vertexOrdering = SoShapeHints::COUNTERCLOCKWISE;
  hints->creaseAngle = 1.0f;

  SoNormalBinding * binding = new SoNormalBinding;
  binding->value = SoNormalBinding::PER_VERTEX;

  SoMaterial * material = new SoMaterial;
  material->transparency = 0.5f;

  SoTextureCoordinateEnvironment * reflection = new SoTextureCoordinateEnvironment;

  SoCoordinate3 * coords = new SoCoordinate3;
  coords->point.setValues(0, numPoints, this->curPoints);

  SoIndexedTriangleStripSet * strips = new SoIndexedTriangleStripSet;
  strips->coordIndex.setValues(0, numIndices, indices.get());
  indices.reset();

  this->setPart("appearance.material", material);
  this->setPart("normalBinding", binding);
  this->setPart("shapeHints", hints);
  this->setPart("textureCoordinateFunction", reflection);
  this->setPart("coordinate3", coords);
  this->setPart("shape", strips);
}
