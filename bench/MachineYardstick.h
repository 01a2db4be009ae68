#ifndef FOUNTAIN_BENCH_MACHINEYARDSTICK_H
#define FOUNTAIN_BENCH_MACHINEYARDSTICK_H

// How fast this machine is right now. A virtual machine shares its host, and
// the same build draws a fifth fewer frames at a busy hour than at a quiet
// one; a fixed piece of work timed beside each run tells the two apart. The
// work is a plain loop of its own, not the program's code, so that it stays
// the same from one version of the program to the next.

// The median time in milliseconds of a few runs of the same single-threaded
// work (a smoothing filter over half a megabyte of floats, which stays in the
// processor's caches): lower means a faster machine.
double machineYardstickMilliseconds(void);

#endif
