// Whether the machine itself stops now and then: one thread on each core
// spins for a given time, reading the clock, and every gap of 5 ms or more
// between two readings is a time the core did not run it. On an idle
// machine nothing else wants the cores, so such gaps are the host's (or the
// kernel's) doing. A frame drawn across one takes that much longer, which
// the fountain benchmark sees as a long interval between frames.
//
//   stall-probe [SECONDS]     (default 30; run it with nothing else running)
//
// It keeps every core busy for that time.

#include "CoreStalls.h"
#include "HostTime.h"
#include "SteadyClock.h"

#include <pthread.h>
#include <sched.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

const double minimumStall = 0.005;  // seconds

// Spins on the calling thread until end, recording each gap in its loop.
std::vector<CoreStall>
spin(std::size_t core, Clock::time_point origin, Clock::time_point end)
{
  const Clock::duration gap = durationOf(minimumStall);
  std::vector<CoreStall> stalls;
  Clock::time_point last = Clock::now();
  while (last < end) {
    const Clock::time_point now = Clock::now();
    if (now - last >= gap) {
      stalls.push_back(CoreStall{ core, secondsOf(last - origin), secondsOf(now - origin) });
    }
    last = now;
  }
  return stalls;
}

}

int
main(int argc, char ** argv)
{
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
  if (!(seconds > 0.0) || seconds > 3600.0) {
    std::fprintf(stderr, "usage: stall-probe [SECONDS]  (more than 0, at most 3600)\n");
    return 2;
  }

  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
    std::perror("stall-probe: sched_getaffinity");
    return 1;
  }
  std::vector<int> cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; cpu++)
    if (CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);

  const MachineTimes before = machineTimesNow();
  const Clock::time_point origin = Clock::now();
  const Clock::time_point end = origin + durationOf(seconds);
  std::vector<std::vector<CoreStall>> found(cpus.size());
  std::vector<std::thread> threads;
  for (std::size_t core = 0; core < cpus.size(); core++) {
    threads.emplace_back([&, core]() {
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(cpus[core], &one);
      pthread_setaffinity_np(pthread_self(), sizeof one, &one);
      found[core] = spin(core, origin, end);
    });
  }
  for (std::thread & thread : threads) thread.join();
  const MachineTimes after = machineTimesNow();

  std::vector<CoreStall> stalls;
  for (const std::vector<CoreStall> & some : found) {
    stalls.insert(stalls.end(), some.begin(), some.end());
  }
  const StallSummary summary = summarizeStalls(stalls, cpus.size());

  std::printf("cores                 %zu, each spinning %.1f s\n", cpus.size(), seconds);
  for (std::size_t core = 0; core < cpus.size(); core++) {
    std::printf("stalls, core %-8d %zu of %.0f ms or more, longest %.1f ms\n", cpus[core],
                summary.countPerCore[core], 1e3 * minimumStall, 1e3 * summary.longestPerCore[core]);
  }
  std::vector<CoreStall> together;
  for (const CoreStall & stall : summary.everyCore)
    if (stall.end - stall.start >= minimumStall) together.push_back(stall);
  std::printf("every core at once    %zu times for %.0f ms or more\n", together.size(),
              1e3 * minimumStall);
  for (const CoreStall & stall : together) {
    std::printf("                      at %.2f s for %.1f ms\n", stall.start,
                1e3 * (stall.end - stall.start));
  }
  double steal = 0.0, idle = 0.0;
  if (hostShares(before, after, steal, idle)) {
    std::printf("taken by the host     %.1f %% of the cores' time (steal; idle %.1f %%)\n",
                100.0 * steal, 100.0 * idle);
  }
  return 0;
}
