#ifndef FOUNTAIN_BENCH_HIDDENPARTS_H
#define FOUNTAIN_BENCH_HIDDENPARTS_H

// Parts of the fountain the benchmark can leave undrawn, to show what each
// part costs a frame. A hidden part is still traversed, simulated and
// notified as before; only its shapes are skipped, by an invisible draw
// style, so they neither draw nor join the sorted transparent shapes.

#include <string>

enum HiddenPart {
  HIDDEN_WATER = 1,       // the three water surfaces
  HIDDEN_DROPS = 2,       // every drop sphere
  HIDDEN_EVERYTHING = 4,  // every shape of the scene
  HIDDEN_MASONRY = 8,     // the blocks, slabs, spouts and pipes
};

// Adds the part named "water", "drops", "masonry" or "everything" to parts;
// false for any other name.
bool addHiddenPart(const std::string & name, unsigned & parts);

// The names of the parts, separated by spaces.
std::string hiddenPartNames(unsigned parts);

// Hides the parts. Call it once all drops have been made, as drops made
// later would still show. Returns how many drop spheres and masonry shapes
// it hid, as the report gives them ("257 drop spheres, 20 masonry shapes"),
// or nothing when neither part was hidden.
std::string hideParts(unsigned parts);

#endif
