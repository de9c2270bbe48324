// Where a dialog goes on the screen.  Portable: no windows.h.
#ifndef TOVARIN_SHELL_PLACEMENT_H
#define TOVARIN_SHELL_PLACEMENT_H

enum {
    kPlaceCentred = 1,   // pages, message boxes
    kPlaceBottom  = 2,   // panels: top edge 160 pixels above the bottom
};

// Position of a width x height dialog in the full-screen area.  Returns 1,
// or 0 for a mode that leaves the dialog where it is.  Nothing is clamped:
// a dialog larger than the area gets negative coordinates.
int PlacementPosition(int mode, int areaWidth, int areaHeight, int width, int height,
                      int* x, int* y);

#endif
