#ifndef FOUNTAIN_BENCH_CORESTALLS_H
#define FOUNTAIN_BENCH_CORESTALLS_H

// Times when the machine stopped running a thread that only wanted to run.
// A virtual machine's host can stop a core, or all of them, for a while; a
// frame drawn across such a stop takes that much longer, whatever the
// program does. stall-probe spins one thread on each core and records every
// gap in its loop; this file sums them up.

#include <cstddef>
#include <vector>

struct CoreStall {
  std::size_t core = 0;
  double start = 0.0;  // seconds from the probe's start
  double end = 0.0;
};

struct StallSummary {
  std::vector<std::size_t> countPerCore;
  std::vector<double> longestPerCore;  // seconds, 0 on a core without stalls
  // Spans during which every core stood still at once, in time order, as
  // {start, end} stalls whose core is the number of cores.
  std::vector<CoreStall> everyCore;
};

// Sums up the stalls of cores 0 .. cores - 1, in any order; the stalls of one
// core must not overlap one another. Stalls of an unknown core are left out.
StallSummary summarizeStalls(const std::vector<CoreStall> & stalls, std::size_t cores);

#endif
