#ifndef FOUNTAIN_SUBNORMALSFLUSHED_H
#define FOUNTAIN_SUBNORMALSFLUSHED_H

// Damped water decays towards zero geometrically and would end in subnormal
// floats, which x86 processors handle through a slow microcode path. While
// an object of this class lives, the SSE unit flushes subnormal results to
// zero and reads subnormal inputs as zero: a height below 1.2e-38 is water
// at rest either way, and the wave step keeps its cost as the water calms.
// The caller's floating-point control state comes back afterwards. Elsewhere
// the class does nothing.

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define FOUNTAIN_HAVE_MXCSR 1
#endif

class SubnormalsFlushed {
public:
#ifdef FOUNTAIN_HAVE_MXCSR
  SubnormalsFlushed() : saved(_mm_getcsr()) { _mm_setcsr(saved | flushBits); }
  ~SubnormalsFlushed() { _mm_setcsr(saved); }
  SubnormalsFlushed(const SubnormalsFlushed &) = delete;
  SubnormalsFlushed & operator=(const SubnormalsFlushed &) = delete;
private:
  static const unsigned int flushBits = 0x8000u | 0x0040u;  // FTZ | DAZ
  const unsigned int saved;
#endif
};

#endif
