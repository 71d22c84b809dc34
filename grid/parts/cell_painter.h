// Painting of a block of cells through their cell types, shared by the cell
// area and the headings: the columns and rows a part shows are laid out
// (frozen, then from the first visible one; heading rows and columns from
// the outermost), and each cell inside the paint rectangle is read with
// GetCell and drawn by its type with the DC state saved around it. Joined
// blocks are drawn once, from their origin.
#pragma once

#include <windows.h>

class CGridCore;
class CGridDrawHint;

// part: CGridCore::kPartCells, kPartTopHeading, kPartSideHeading or
// kPartCorner. With a hint only the hinted cells inside the paint rectangle
// are drawn (a joined block when any of its cells is hinted), and the
// blocks drawn are remembered in it. Answers the rectangle the cells
// covered, from the client's top-left corner.
RECT PaintCells(CGridCore& grid, HDC dc, int originX, int originY, const RECT& client, const RECT& paint, int part,
                CGridDrawHint* hint = nullptr);
