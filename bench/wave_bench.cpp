// Speed of the water: one wave step of a WaveSurfaceKit per grid size, on
// moving water and on water that has calmed down, beside a plain reference
// loop of the same update; a plain copy of one level's points, the yardstick
// of memory bandwidth; one disturbance of the lowest basin; and the normals
// the library computes for a surface after each step.
//
// The per-vertex figure is the counter "per_vertex" (time per vertex and
// step; Google Benchmark prints it with an SI prefix, "n" = nanoseconds).

#include "viewer/HeapTrimming.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/SoDB.h>
#include <Inventor/caches/SoNormalCache.h>
#include <Inventor/nodekits/SoNodeKit.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedTriangleStripSet.h>
#include <Inventor/nodes/SoShapeHints.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

const int gridSizes[] = { 20, 30, 40, 70, 256, 1024, 2048 };

// Steps between two re-excitations of the "moving" water, so that it never
// calms down however long a benchmark runs.
const int stepsPerExcitation = 1000;

// Ripples of up to +-0.05 from a fixed pseudo-random sequence.
class Ripples {
public:
  float next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (float(state >> 40) / float(1 << 24) - 0.5f) * 0.1f;
  }
private:
  std::uint64_t state = 12345;
};

// Puts ripples scaled by `scale` into the current and previous levels of a
// size x size grid. The ripples are odd about the middle row, so the water's
// mean level is exactly 0 and stays so: the water calms towards 0 itself
// rather than towards a raised level, as it would with uneven ripples.
void
excite(SbVec3f * cur, SbVec3f * prev, int size, float scale)
{
  Ripples r;
  for (int i = 0; i < size / 2; i++) {
    for (int j = 0; j < size; j++) {
      const int k = i * size + j;
      const int mirrored = (size - 1 - i) * size + j;
      cur[k][2] = scale * r.next();
      prev[k][2] = scale * r.next();
      cur[mirrored][2] = -cur[k][2];
      prev[mirrored][2] = -prev[k][2];
    }
  }
}

// Water that has settled: small grids are damped from full ripples for twenty
// thousand steps. Large grids would take too long that way; they start from
// ripples at 1e-36 of their size (where full ripples are after about 4500
// steps) and are damped for 200 steps, which takes their heights into the
// subnormal range of floats as well.
template <class StepFn>
void
settle(SbVec3f * cur, SbVec3f * prev, int size, StepFn step)
{
  const bool small = size <= 70;
  excite(cur, prev, size, small ? 1.0f : 1e-36f);
  const int steps = small ? 20000 : 200;
  for (int s = 0; s < steps; s++) step();
}

void
setPerVertex(benchmark::State & state, int n)
{
  state.counters["per_vertex"] = benchmark::Counter(
    double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ----- the kit's own step -------------------------------------------------

void
kitStep(benchmark::State & state, bool settled)
{
  const int size = int(state.range(0));
  const int n = size * size;
  WaveSurfaceKit * kit = new WaveSurfaceKit(size, 1.0f, 1.0f, 0.0f, 0.0f, 3);
  kit->ref();
  if (settled)
    settle(kit->curPoints, kit->prevPoints, size, [kit] { kit->stepSimulation(); });
  else
    excite(kit->curPoints, kit->prevPoints, size, 1.0f);

  int sinceExcitation = 0;
  for (auto _ : state) {
    kit->stepSimulation();
    if (!settled && ++sinceExcitation == stepsPerExcitation) {
      excite(kit->curPoints, kit->prevPoints, size, 1.0f);
      sinceExcitation = 0;
    }
  }
  setPerVertex(state, n);
  kit->unref();
}

void
BM_KitStepMoving(benchmark::State & state)
{
  kitStep(state, false);
}

void
BM_KitStepSettled(benchmark::State & state)
{
  kitStep(state, true);
}

// ----- the reference: the same update written the obvious way -------------

class ReferenceWater {
public:
  explicit ReferenceWater(int size)
    : W(size), H(size), a(size * size), b(size * size), c(size * size),
      prev(a.data()), cur(b.data()), next(c.data()) {
    for (int i = 0; i < W; i++)
      for (int j = 0; j < H; j++)
        a[i * H + j] = b[i * H + j] = c[i * H + j] =
          SbVec3f(2.0f * i / (W - 1) - 1.0f, 2.0f * j / (H - 1) - 1.0f, 0.0f);
  }

  void step() {
    for (int i = 0; i < W; i++) {
      for (int j = 0; j < H; j++) {
        const double left = i > 0 ? z(cur, i - 1, j) : z(cur, i + 1, j);
        const double right = i < W - 1 ? z(cur, i + 1, j) : z(cur, i - 1, j);
        const double below = j > 0 ? z(cur, i, j - 1) : z(cur, i, j + 1);
        const double above = j < H - 1 ? z(cur, i, j + 1) : z(cur, i, j - 1);
        const double u = z(cur, i, j);
        const double p = z(prev, i, j);
        const double s = right + left + above + below;
        next[i * H + j][2] = float(((s - 4.0 * u) * double(0.09f) + 2.0 * u - p +
                                    p * double(0.018000001f)) * double(0.9823183f));
      }
    }
    SbVec3f * oldPrev = prev;
    prev = cur;
    cur = next;
    next = oldPrev;
  }

  const int W, H;
  std::vector<SbVec3f> a, b, c;
  SbVec3f * prev;
  SbVec3f * cur;
  SbVec3f * next;

private:
  float z(const SbVec3f * level, int i, int j) const { return level[i * H + j][2]; }
};

void
referenceStep(benchmark::State & state, bool settled)
{
  const int size = int(state.range(0));
  const int n = size * size;
  ReferenceWater water(size);
  if (settled)
    settle(water.cur, water.prev, size, [&water] { water.step(); });
  else
    excite(water.cur, water.prev, size, 1.0f);

  int sinceExcitation = 0;
  for (auto _ : state) {
    water.step();
    benchmark::DoNotOptimize(water.cur);
    benchmark::ClobberMemory();
    if (!settled && ++sinceExcitation == stepsPerExcitation) {
      excite(water.cur, water.prev, size, 1.0f);
      sinceExcitation = 0;
    }
  }
  setPerVertex(state, n);
}

void
BM_ReferenceStepMoving(benchmark::State & state)
{
  referenceStep(state, false);
}

void
BM_ReferenceStepSettled(benchmark::State & state)
{
  referenceStep(state, true);
}

// ----- the machine's copy bandwidth -----------------------------------------

// A plain block copy of the size x size points of one level (12 bytes each),
// as the bound the step is held against: a step reads the current, previous
// and next levels and writes the next one (about two copies of a level) and
// copies the new level into the coordinates (a third).
void
BM_CopyLevel(benchmark::State & state)
{
  const int size = int(state.range(0));
  const std::size_t n = std::size_t(size) * std::size_t(size);
  std::vector<SbVec3f> from(n, SbVec3f(1.0f, 2.0f, 3.0f)), to(n);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), n * sizeof(SbVec3f));
    benchmark::ClobberMemory();
  }
  setPerVertex(state, int(n));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n * sizeof(SbVec3f)));
}

// ----- one disturbance of the lowest basin ---------------------------------

void
BM_Disturb40(benchmark::State & state)
{
  WaveSurfaceKit * kit = new WaveSurfaceKit(40, 5.0f, 5.0f, 0.0f, -1.0f, 3);
  kit->ref();
  for (auto _ : state) {
    kit->disturb(0.0f, -5.0f);
    benchmark::ClobberMemory();
  }
  setPerVertex(state, 40 * 40);
  kit->unref();
}

// ----- the normals the library computes for a stepped surface ----------------

// The kit gives its strips no normals, so after every step the library
// computes them anew when the surface is next drawn: a new normal cache,
// smooth vertex normals from the strips' triangles within the crease angle.
// This makes the same call on the kit's own strips and moving water, so the
// figure stands beside the step's. Only the scene's three sizes.
void
BM_LibraryNormals(benchmark::State & state)
{
  const int size = int(state.range(0));
  WaveSurfaceKit * kit = new WaveSurfaceKit(size, 1.0f, 1.0f, 0.0f, 0.0f, 3);
  kit->ref();
  excite(kit->curPoints, kit->prevPoints, size, 1.0f);
  kit->stepSimulation();
  const SoMFVec3f & points =
    static_cast<SoCoordinate3 *>(kit->getPart("coordinate3", FALSE))->point;
  const SoMFInt32 & strips =
    static_cast<SoIndexedTriangleStripSet *>(kit->getPart("shape", FALSE))->coordIndex;
  const SoShapeHints * hints = static_cast<SoShapeHints *>(kit->getPart("shapeHints", FALSE));
  const float creaseAngle = hints->creaseAngle.getValue();
  const SbBool counterClockwise = hints->vertexOrdering.getValue() != SoShapeHints::CLOCKWISE;
  const SbBool triangleStrips = TRUE;

  for (auto _ : state) {
    SoNormalCache * cache = new SoNormalCache(nullptr);
    cache->ref();
    cache->generatePerVertex(points.getValues(0), unsigned(points.getNum()),
                             strips.getValues(0), strips.getNum(), creaseAngle,
                             nullptr, -1, counterClockwise, triangleStrips);
    benchmark::DoNotOptimize(cache->getNormals());
    cache->unref();
  }
  setPerVertex(state, size * size);
  kit->unref();
}

void
gridArguments(benchmark::internal::Benchmark * b)
{
  for (int size : gridSizes) b->Arg(size);
}

}

BENCHMARK(BM_KitStepMoving)->Apply(gridArguments);
BENCHMARK(BM_ReferenceStepMoving)->Apply(gridArguments);
BENCHMARK(BM_KitStepSettled)->Apply(gridArguments);
BENCHMARK(BM_ReferenceStepSettled)->Apply(gridArguments);
BENCHMARK(BM_CopyLevel)->Apply(gridArguments);
BENCHMARK(BM_Disturb40);
BENCHMARK(BM_LibraryNormals)->Arg(20)->Arg(30)->Arg(40);

int
main(int argc, char ** argv)
{
  // The C library keeps freed memory as it does in the program: otherwise
  // each new normal cache of a 40 x 40 surface can take its pages from the
  // system again, and the figure jumps between two levels from run to run.
  limitHeapTrimming();
  SoDB::init();
  SoNodeKit::init();
  WaveSurfaceKit::initClass();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
