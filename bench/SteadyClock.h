#ifndef FOUNTAIN_BENCH_STEADYCLOCK_H
#define FOUNTAIN_BENCH_STEADYCLOCK_H

// The benchmarks' clock for elapsed time, and its durations in seconds.

#include <chrono>

typedef std::chrono::steady_clock Clock;

inline double
secondsOf(Clock::duration d)
{
  return std::chrono::duration<double>(d).count();
}

inline Clock::duration
durationOf(double seconds)
{
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

#endif
