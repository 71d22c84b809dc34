// Where the main window starts: its size from the stored size or a share
// of the screen, centred unless a position is stored, and the list height
// derived from the window height while it still has its default.
#pragma once

struct FrameGeometry {
  int x = 0, y = 0, width = 0, height = 0;
  int gridSizeY = 0;  // the list row's height after the rule
};

struct FrameGeometryInput {
  int screenWidth = 0, screenHeight = 0;
  int winPosX = -1, winPosY = -1, winSizeX = -1, winSizeY = -1;
  int winCentered = 1;
  int gridSizeY = 130;
};

// Screens at least 800 wide get 0.8 of the screen, smaller ones 0.9; an
// unset height makes a default list height (130) a quarter of the window.
FrameGeometry ComputeFrameGeometry(const FrameGeometryInput& in);
