#ifndef FOUNTAIN_VIEWER_SOWINVIEWER_H
#define FOUNTAIN_VIEWER_SOWINVIEWER_H

class SoWinViewer {
public:
  enum Type { BROWSER = 0, EDITOR = 1 };
};

#endif
