#ifndef FOUNTAIN_VIEWER_SHOWNSCENE_H
#define FOUNTAIN_VIEWER_SHOWNSCENE_H

class SoNode;
class SoSeparator;

// A new, unreferenced separator that draws root with the viewer's own
// render settings around it. The viewer shows this instead of root; root
// itself is not changed.
SoSeparator * shownScene(SoNode * root);

#endif
