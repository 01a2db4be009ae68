#ifndef FOUNTAIN_VIEWER_TEXTURESAMPLINGSHORTCUTS_H
#define FOUNTAIN_VIEWER_TEXTURESAMPLINGSHORTCUTS_H

// Asks Mesa's software renderer (llvmpipe) for its two cheaper ways of
// choosing and blending mipmap levels, unless the user has set the
// renderer's GALLIVM_PERF options in the environment. Takes effect only when
// called before the first OpenGL context is made; other drivers ignore it.
void preferTextureSamplingShortcuts(void);

// The GALLIVM_PERF options in force for the renderer, "" when none.
const char * textureSamplingShortcuts(void);

#endif
