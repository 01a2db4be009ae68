#include "MachineYardstick.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace {

const int values = 65536;  // two arrays of these: 512 KB
const int passes = 200;    // about 13 million values smoothed
const int repeats = 9;

volatile float sink;  // the compiler may not drop work whose result is read

double
oneRunMilliseconds(void)
{
  std::vector<float> from(values), to(values);
  for (int i = 0; i < values; i++) from[i] = float(i % 97);
  to = from;

  const auto start = std::chrono::steady_clock::now();
  for (int pass = 0; pass < passes; pass++) {
    for (int i = 1; i < values - 1; i++)
      to[i] = 0.5f * from[i] + 0.25f * (from[i - 1] + from[i + 1]);
    std::swap(from, to);
  }
  const auto end = std::chrono::steady_clock::now();
  sink = from[values / 2];
  return std::chrono::duration<double, std::milli>(end - start).count();
}

}

double
machineYardstickMilliseconds(void)
{
  std::vector<double> times;
  for (int r = 0; r < repeats; r++) times.push_back(oneRunMilliseconds());
  std::sort(times.begin(), times.end());
  return times[repeats / 2];
}
