// Entry point: opens the full-screen viewer on the fountain and runs until
// the window is closed.

#include "app/Startup.h"

int
main(int, char ** argv)
{
  return runFountain(argv[0]);
}
