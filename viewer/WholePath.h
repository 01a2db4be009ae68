#ifndef FOUNTAIN_WHOLEPATH_H
#define FOUNTAIN_WHOLEPATH_H

// A path down to its real tail, the parts that node kits hide included.
//
// SoPath's getLength and getTail stop at the first node kit on the path.
// The library's documentation reads the rest by casting the path to
// SoFullPath, which is sound only for a path that is one: an action's
// current path (an SoTempPath). The paths the library keeps, such as its
// copies of the sorted transparent shapes' paths or a search's results,
// are plain SoPath objects, and casting them is undefined behaviour (the
// undefined-behaviour sanitizer stops there). They are read through
// SoPath's public calls instead: findFork of a path with itself is the
// index of its last node over the whole path, and getNode and getIndex
// take any index below that.

#include <Inventor/SoPath.h>

// The number of nodes on the whole path.
inline int
wholeLength(const SoPath * path)
{
  return path->findFork(path) + 1;
}

// The last node on the whole path, or null for an empty path.
inline SoNode *
wholeTail(const SoPath * path)
{
  const int length = wholeLength(path);
  return length > 0 ? path->getNode(length - 1) : NULL;
}

#endif
