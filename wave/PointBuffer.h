#ifndef FOUNTAIN_POINTBUFFER_H
#define FOUNTAIN_POINTBUFFER_H

// The kit's vertex buffers, each starting at a 64-byte cache line. The height
// update reads and writes them in 32-byte pieces; where a buffer starts 16
// bytes past such a boundary, every other piece of a 40-point row crosses a
// cache line, which makes the update about a fifth slower on some
// processors. The allocator alone starts blocks 16 bytes past one by chance.

#include <Inventor/SbLinear.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace PointBuffer {

const std::align_val_t lineAlignment{ 64 };

// Room for numPoints points (numPoints > 0), their values not set; throws
// std::bad_alloc when there is not enough memory.
inline SbVec3f *
allocate(int32_t numPoints)
{
  void * const room = ::operator new[](size_t(numPoints) * sizeof(SbVec3f), lineAlignment);
  SbVec3f * const points = static_cast<SbVec3f *>(room);
  for (int32_t k = 0; k < numPoints; k++) new (points + k) SbVec3f;
  return points;
}

// Frees a buffer from allocate; null is allowed and ignored.
inline void
deallocate(SbVec3f * points)
{
  ::operator delete[](points, lineAlignment);
}

struct Deallocator {
  void operator()(SbVec3f * points) const { deallocate(points); }
};

// A buffer that is freed unless it is handed on with release().
typedef std::unique_ptr<SbVec3f, Deallocator> Owned;

}

#endif
