#include "shell/placement.h"

int PlacementPosition(int mode, int areaWidth, int areaHeight, int width, int height,
                      int* x, int* y)
{
    // C++ division truncates toward zero, as the placement rule wants.
    switch (mode) {
    case kPlaceCentred:
        *x = (areaWidth - width) / 2;
        *y = (areaHeight - height) / 2;
        return 1;
    case kPlaceBottom:
        *x = (areaWidth - width) / 2;
        *y = areaHeight - 160;
        return 1;
    default:
        return 0;
    }
}
