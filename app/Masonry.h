#ifndef FOUNTAIN_MASONRY_H
#define FOUNTAIN_MASONRY_H

// Builders of the fountain's solid pieces. Each returns a new, unreferenced
// separator holding a texture, the placement nodes and one shape of the
// library's default size, scaled to the full extents given.

class SoSeparator;

// A marble box centred at (x, y, z) with full extents sx, sy, sz.
SoSeparator * buildMarbleBlock(float x, float y, float z, float sx, float sy, float sz);

// A stone box centred at (x, y, z) with full extents sx, sy, sz.
SoSeparator * buildStoneSlab(float x, float y, float z, float sx, float sy, float sz);

// A metal cylinder of diameter d and length l centred at (x, y, z), its axis
// tilted from +y by pi/16 about x, so its -y end is the lower one.
SoSeparator * buildSpout(float x, float y, float z, float d, float l);

// A metal cylinder of diameter d and length l centred at (x, y, z), its axis
// along +z.
SoSeparator * buildUprightPipe(float x, float y, float z, float d, float l);

#endif
