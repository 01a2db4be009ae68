#ifndef FOUNTAIN_FOUNTAIN_H
#define FOUNTAIN_FOUNTAIN_H

// Assembly of the three-tier fountain into sceneRoot.

class SoSeparator;
class WaveSurfaceKit;

// The three water surfaces, owned by the scene graph through their holders.
extern WaveSurfaceKit * lowerSurface;
extern WaveSurfaceKit * middleSurface;
extern WaveSurfaceKit * upperSurface;

// Appends the masonry, the three placed surfaces and the first drop of each
// stream to sceneRoot.
void buildFountain(void);

// Starts the kit's simulation and returns a new holder that draws a kit
// point (x, y, z) at (sx * (x + tx), sy * (y + ty), z + tz).
SoSeparator * placeSurface(WaveSurfaceKit * kit, float sx, float sy,
                           float tx, float ty, float tz);

#endif
