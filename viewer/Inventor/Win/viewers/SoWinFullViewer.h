#ifndef FOUNTAIN_VIEWER_SOWINFULLVIEWER_H
#define FOUNTAIN_VIEWER_SOWINFULLVIEWER_H

#include <Inventor/Win/viewers/SoWinViewer.h>

class SoWinFullViewer : public SoWinViewer {
public:
  enum BuildFlag {
    BUILD_NONE = 0x00,
    BUILD_DECORATION = 0x01,
    BUILD_POPUP = 0x02,
    BUILD_ALL = BUILD_DECORATION | BUILD_POPUP
  };
};

#endif
