#ifndef FOUNTAIN_BENCH_HOSTTIME_H
#define FOUNTAIN_BENCH_HOSTTIME_H

// How much of the machine's processor time its host took. On a virtual
// machine the host runs other guests on the same cores; while it does, our
// threads wait though they are ready to run, and the kernel counts that wait
// as "steal" time. A run with much of it was slowed by the host, not by the
// build.

#include <string>

// The cumulative times of all of the machine's cores, in the kernel's ticks,
// as the first line of /proc/stat gives them.
struct MachineTimes {
  bool valid = false;
  unsigned long long total = 0;  // every state below and the busy ones
  unsigned long long idle = 0;   // idle and waiting for input or output
  unsigned long long steal = 0;  // ready to run while the host ran others
};

// Reads the aggregate "cpu" line of /proc/stat's text. Older kernels give no
// steal column; their steal is zero. Anything else gives an invalid record.
MachineTimes parseMachineTimes(const std::string & procStat);

// The machine's times now (invalid where /proc/stat cannot be read).
MachineTimes machineTimesNow(void);

// Between two readings: the shares of the cores' time the host took and the
// cores spent idle, each from 0 to 1. False when either reading is invalid
// or no time passed between them.
bool hostShares(const MachineTimes & before, const MachineTimes & after, double & steal,
                double & idle);

#endif
