#ifndef FOUNTAIN_APPLICATION_H
#define FOUNTAIN_APPLICATION_H

// Program-wide state of the application and the scene set-up that start-up
// performs between opening the viewer and handing it the scene.

class SoEventCallback;
class SoSeparator;
class SoTimerSensor;

// Root of everything that is drawn; referenced once by createScene().
extern SoSeparator * sceneRoot;

// True while the central jet is switched on; flipped by the J key.
extern bool jetEnabled;

// The drop clock: 0.04 s of wall-clock time per simulationTick.
extern SoTimerSensor * dropClock;

// Flips jetEnabled on a press of J and marks that event handled.
void keyCallback(void * userData, SoEventCallback * node);

// Registers the kit type, creates and references sceneRoot with the
// scene-wide texture and the spot light, schedules the drop clock, builds the
// fountain and adds the keyboard node.
void createScene(void);

// Stops the drop clock, releases the drops and their lists, then the scene.
void destroyScene(void);

#endif
