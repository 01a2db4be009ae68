#ifndef FOUNTAIN_DROPTICK_H
#define FOUNTAIN_DROPTICK_H

// The drop clock: the three drop streams, the tick that advances and tops
// them up, and the random helper for launch parameters.

#include <vector>

class CascadeDrop;
class JetDrop;
class SoSensor;

// From the middle basin into the lower one.
extern std::vector<CascadeDrop *> lowerCascade;
// From the upper basin into the middle one.
extern std::vector<CascadeDrop *> upperCascade;
// The central jet above the upper basin.
extern std::vector<JetDrop *> jetDrops;

// center + ((rand() % 1000) - 500) * spread * 0.002: one of 1000 values from
// center - spread to center + 0.998 * spread. The generator is never seeded.
float randomAround(float center, float spread);

// Timer callback: advances every drop by 0.1 of simulated time, then adds two
// drops to each stream that is below its size.
void simulationTick(void * data, SoSensor * sensor);

// Frees every drop and empties the three lists.
void releaseDrops(void);

#endif
