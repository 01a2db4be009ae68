#ifndef FOUNTAIN_VIEWER_HEAPTRIMMING_H
#define FOUNTAIN_VIEWER_HEAPTRIMMING_H

// Lets the C library keep freed memory of the size a frame allocates and
// frees again, instead of handing it back to the system after every frame,
// unless the user has set the library's thresholds in the environment. Only
// the GNU C library has these settings; elsewhere this does nothing.
void limitHeapTrimming(void);

#endif
