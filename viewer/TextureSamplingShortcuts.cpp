// Cheaper texture level-of-detail in the software renderer.
//
// Under llvmpipe about a fifth of all the processor time of a frame went to
// sampling the marble and stone textures, most of it on the texels of two
// mipmap levels and the blend between them (the library's default texture
// quality asks for a blend between the two nearest levels). The renderer
// has two documented shortcuts for this:
// - "brilinear" blends the two levels only near the middle between them and
//   samples a single level elsewhere;
// - "rho_approx" estimates how far the texture is shrunk on the screen from
//   the largest of its coordinates' changes instead of their exact length.
// Together they took about 14 % of the processor time off a frame at
// 1280 x 1024 on a two-core machine (see bench/RESULTS.md). The picture
// differs from the exact sampling only in the faint mipmap transitions of
// the marble veins; the two were not told apart side by side. A user who
// sets GALLIVM_PERF, for instance to "" for the exact sampling, keeps that
// choice.

#include "TextureSamplingShortcuts.h"

#include <cstdlib>

void
preferTextureSamplingShortcuts(void)
{
  setenv("GALLIVM_PERF", "brilinear,rho_approx", 0);
}

const char *
textureSamplingShortcuts(void)
{
  const char * options = std::getenv("GALLIVM_PERF");
  return options ? options : "";
}
