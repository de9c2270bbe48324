// The progress of the copy (see copyprogress.h).
#include "shell/copyprogress.h"

uint32_t copyRunning;
uint32_t bytesCopied;
uint32_t grandTotal;
RECT     indicatorRect;

void StartCopyProgress(uint32_t total, HWND indicator)
{
    copyRunning = 1;
    bytesCopied = 0;
    grandTotal = total;
    SetRectEmpty(&indicatorRect);
    if (indicator != nullptr)
        GetClientRect(indicator, &indicatorRect);
}
