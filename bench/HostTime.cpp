#include "HostTime.h"

#include <fstream>
#include <sstream>

MachineTimes
parseMachineTimes(const std::string & procStat)
{
  MachineTimes times;
  std::istringstream in(procStat.substr(0, procStat.find('\n')));
  std::string label;
  if (!(in >> label) || label != "cpu") return times;

  // user nice system idle iowait irq softirq steal; the guest columns after
  // them are already counted in user and nice.
  unsigned long long column[8] = {};
  int read = 0;
  while (read < 8 && in >> column[read]) read++;
  if (read < 4) return times;

  for (int i = 0; i < read; i++) times.total += column[i];
  times.idle = column[3] + column[4];
  times.steal = column[7];
  times.valid = true;
  return times;
}

MachineTimes
machineTimesNow(void)
{
  std::ifstream file("/proc/stat");
  std::string line;
  if (!std::getline(file, line)) return MachineTimes();
  return parseMachineTimes(line);
}

bool
hostShares(const MachineTimes & before, const MachineTimes & after, double & steal, double & idle)
{
  if (!before.valid || !after.valid || after.total <= before.total ||
      after.steal < before.steal || after.idle < before.idle)
    return false;
  const double total = double(after.total - before.total);
  steal = double(after.steal - before.steal) / total;
  idle = double(after.idle - before.idle) / total;
  return true;
}
