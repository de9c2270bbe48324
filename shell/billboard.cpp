// The billboard slideshow.  No billboard is current before copying starts,
// so the backdrop's paint has nothing to draw here yet.
#include "shell/shell.h"

void PaintBillboard(HDC)
{
}
