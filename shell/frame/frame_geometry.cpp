#include "shell/frame/frame_geometry.h"

FrameGeometry ComputeFrameGeometry(const FrameGeometryInput& in) {
  FrameGeometry g;
  const double factor = in.screenWidth >= 800 ? 0.8 : 0.9;
  g.gridSizeY = in.gridSizeY;
  g.width = in.winSizeX == -1 ? static_cast<int>(factor * in.screenWidth) : in.winSizeX;
  if (in.winSizeY == -1) {
    g.height = static_cast<int>(factor * in.screenHeight);
    if (in.gridSizeY == 130) g.gridSizeY = static_cast<int>(g.height * 0.25);
  } else {
    g.height = in.winSizeY;
  }
  if (in.winPosX == -1 || in.winCentered) {
    g.x = (in.screenWidth - g.width) / 2;
    g.y = (in.screenHeight - g.height) / 2;
  } else {
    g.x = in.winPosX;
    g.y = in.winPosY;
  }
  return g;
}
