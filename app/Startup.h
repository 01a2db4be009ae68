#ifndef FOUNTAIN_STARTUP_H
#define FOUNTAIN_STARTUP_H

// The program's whole run: the viewer, the scene, the main loop and the
// teardown, in the order start-up must keep.

// Optional calls into the run, for programs that watch the fountain (the
// soak test): sceneReady runs once the scene is built, before the window is
// shown; loopEnded runs when the main loop has returned, before anything is
// torn down. Either may be NULL.
struct StartupHooks {
  void (*sceneReady)(void * data);
  void (*loopEnded)(void * data);
  void * data;
};

// Runs the fountain with the program's path as the application name.
// Returns 1 at once if the viewer cannot open a display, else 0 when the
// main window has been closed.
int runFountain(char * programPath, const StartupHooks * hooks = 0);

#endif
