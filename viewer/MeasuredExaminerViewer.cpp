// The examiner viewer with frame counting. A redraw of the render area is the
// scene traversal (actualRedraw) followed by the buffer swap, which with a
// software renderer waits for the rasterisation to finish.

#include "MeasuredExaminerViewer.h"

#include "KeyPassingExaminerViewer.h"

#include <Inventor/system/gl.h>

#include <chrono>

class MeasuredExaminerViewer::Counting : public KeyPassingExaminerViewer {
public:
  explicit Counting(QWidget * parent)
    : KeyPassingExaminerViewer(parent, NULL, TRUE, SoQtFullViewer::BUILD_ALL,
                               SoQtViewer::BROWSER) {}

  SbBool send(const SoEvent * event) { return this->processSoEvent(event); }

  FrameStatistics counts;
  std::string renderer;
  std::string buffers;

protected:
  void drawFrame(void) override {
    const Clock::time_point start = Clock::now();
    KeyPassingExaminerViewer::drawFrame();
    const Clock::time_point shown = Clock::now();
    this->counts.redrawSeconds += seconds(shown - start);
    this->counts.frames++;
    // A frame is shown when its buffers are swapped, at the end of the redraw.
    if (this->anyShown) this->counts.intervals.push_back(1e3 * seconds(shown - this->lastShown));
    this->lastShown = shown;
    this->anyShown = true;
  }

  void actualRedraw(void) override {
    const Clock::time_point start = Clock::now();
    KeyPassingExaminerViewer::actualRedraw();
    this->counts.renderSeconds += seconds(Clock::now() - start);
    const SortedBlendRenderAction * action = this->sortedBlendRenderAction();
    if (action->drewSortedShapesTogether()) this->counts.sortedTogether++;
    if (action->drewOpaqueShapesNearestFirst()) this->counts.opaqueNearestFirst++;
    this->counts.spheresFromLists += uint64_t(action->drewSpheresFromLists());
    if (this->renderer.empty()) {
      const GLubyte * name = glGetString(GL_RENDERER);
      this->renderer = name ? reinterpret_cast<const char *>(name) : "unknown";
      this->buffers = describeBuffers();
    }
  }

private:
  static std::string describeBuffers(void) {
    GLint depth = 0, stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    return std::to_string(depth) + "-bit depth, " +
           (stencil ? std::to_string(stencil) + "-bit stencil" : std::string("no stencil"));
  }

  typedef std::chrono::steady_clock Clock;
  static double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

  Clock::time_point lastShown;
  bool anyShown = false;
};

MeasuredExaminerViewer::MeasuredExaminerViewer(HWND parent)
  : MeasuredExaminerViewer(new Counting(parent))
{
}

MeasuredExaminerViewer::MeasuredExaminerViewer(Counting * counting)
  : SoWinExaminerViewer(counting), counting(counting)
{
}

FrameStatistics
MeasuredExaminerViewer::statistics(void) const
{
  return this->counting->counts;
}

void
MeasuredExaminerViewer::resetStatistics(void)
{
  this->counting->counts = FrameStatistics();
}

SbBool
MeasuredExaminerViewer::sendEvent(const SoEvent * event)
{
  return this->counting->send(event);
}

std::string
MeasuredExaminerViewer::glRenderer(void) const
{
  return this->counting->renderer;
}

std::string
MeasuredExaminerViewer::glBuffers(void) const
{
  return this->counting->buffers;
}
