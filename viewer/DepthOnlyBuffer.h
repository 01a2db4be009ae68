#ifndef FOUNTAIN_VIEWER_DEPTHONLYBUFFER_H
#define FOUNTAIN_VIEWER_DEPTHONLYBUFFER_H

class SoQtGLWidget;

// Asks for a render area with a depth buffer and no stencil buffer. Takes
// effect only when called before the area's OpenGL widget is built.
void requestDepthOnlyBuffer(SoQtGLWidget * area);

#endif
