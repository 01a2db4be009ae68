#ifndef FOUNTAIN_VIEWER_MEASUREDEXAMINERVIEWER_H
#define FOUNTAIN_VIEWER_MEASUREDEXAMINERVIEWER_H

// The program's examiner viewer, counting and timing the frames it draws.
// Used by the benchmark; the program itself uses SoWinExaminerViewer.

#include <Inventor/Win/viewers/SoWinExaminerViewer.h>

#include <cstdint>
#include <string>
#include <vector>

class SoEvent;

struct FrameStatistics {
  uint64_t frames = 0;              // frames drawn and shown
  double redrawSeconds = 0.0;       // wall time in the redraws: scene traversal, GL, swap
  double renderSeconds = 0.0;       // part of it in the scene traversal (before the swap)
  uint64_t sortedTogether = 0;      // frames whose sorted shapes shared one traversal
  uint64_t opaqueNearestFirst = 0;  // frames that drew opaque shapes nearest first
  uint64_t spheresFromLists = 0;    // spheres drawn from display lists, all frames
  std::vector<double> intervals;    // ms from each frame shown to the next
};

class MeasuredExaminerViewer : public SoWinExaminerViewer {
public:
  explicit MeasuredExaminerViewer(HWND parent);

  // Counts since construction or the last reset.
  FrameStatistics statistics(void) const;
  void resetStatistics(void);
  // Hands event to the viewer as the window system's input reaches it: the
  // camera control or the scene handles it. True if one of them did.
  SbBool sendEvent(const SoEvent * event);
  // The OpenGL renderer's name, known once a frame has been drawn.
  std::string glRenderer(void) const;
  // The render area's depth and stencil sizes, known once a frame has been
  // drawn, as "24-bit depth, 8-bit stencil".
  std::string glBuffers(void) const;

private:
  class Counting;
  explicit MeasuredExaminerViewer(Counting * counting);
  Counting * const counting;  // owned by the base
};

#endif
