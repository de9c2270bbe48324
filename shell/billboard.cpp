// The billboard slideshow on the backdrop while files are copied: a picture
// in a bevelled frame, alternately at the left and the right edge, moving
// on as the copied bytes pass each billboard's share.
#include "shell/shell.h"
#include "shell/copyprogress.h"
#include "shell/slideshow.h"

// Constant-initialised: setup.exe runs no static constructors.
BillboardTableRecord BillboardTable = kInitialBillboardTable;

namespace {

// Bitmap of the current billboard, converted for the backdrop's context,
// and its frame on the given side.  No bitmap gives an empty frame.  The
// bitmap is handed over when wanted, else deleted again.
void LoadBillboard(int onLeft, HBITMAP* bitmap, RECT* frame)
{
    SetRectEmpty(frame);
    if (bitmap != nullptr)
        *bitmap = nullptr;
    if (BillboardTable.currentBillboard >= kBillboardCount)
        return;

    HDC dc = GetDC(mainWindow);
    if (dc == nullptr)
        return;
    int id = BillboardTable.entries[BillboardTable.currentBillboard].bitmapId;
    HBITMAP made = MakePicture(dc, id, 0);
    // A bitmap whose size cannot be read is no billboard: no frame.
    BITMAP size;
    if (made != nullptr && GetObjectA(made, sizeof size, &size) == 0) {
        DeleteObject(made);
        made = nullptr;
    }
    if (made != nullptr) {
        RECT client;
        GetClientRect(mainWindow, &client);
        FrameBox place = BillboardFrame(onLeft, size.bmWidth, size.bmHeight, client.right);
        SetRect(frame, place.left, place.top, place.right, place.bottom);
        if (bitmap != nullptr)
            *bitmap = made;
        else
            DeleteObject(made);
    }
    ReleaseDC(mainWindow, dc);
}

// Repaints a frame's area at once, without erasing.
void RepaintFrame(const RECT* frame)
{
    if (IsRectEmpty(frame))
        return;
    InvalidateRect(mainWindow, frame, FALSE);
    UpdateWindow(mainWindow);
}

void DrawLine(HDC dc, int width, COLORREF colour, const POINT* points, int count)
{
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    for (int i = 1; i < count; ++i)
        LineTo(dc, points[i].x, points[i].y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// A raised outer edge, a 3-pixel light grey band and a sunken inner edge.
void DrawBillboardFrame(HDC dc, const RECT* frame)
{
    const COLORREF kShadow = RGB(0x80, 0x80, 0x80);
    const COLORREF kLight = RGB(0xFF, 0xFF, 0xFF);
    int l = frame->left, t = frame->top, r = frame->right, b = frame->bottom;

    const POINT outerShadow[] = {{r - 1, t + 1}, {r - 1, b - 1}, {l + 1, b - 1}};
    DrawLine(dc, 1, kShadow, outerShadow, 3);
    const POINT outerLight[] = {{l, b - 1}, {l, t}, {r, t}};
    DrawLine(dc, 1, kLight, outerLight, 3);

    HPEN band = CreatePen(PS_SOLID, 3, RGB(0xC0, 0xC0, 0xC0));
    HGDIOBJ old = SelectObject(dc, band);
    Rectangle(dc, l + 2, t + 2, r - 2, b - 2);
    SelectObject(dc, old);
    DeleteObject(band);

    const POINT innerLight[] = {{r - 4, t + 5}, {r - 4, b - 4}, {l + 5, b - 4}};
    DrawLine(dc, 1, kLight, innerLight, 3);
    const POINT innerShadow[] = {{l + 4, b - 4}, {l + 4, t + 4}, {r - 4, t + 4}};
    DrawLine(dc, 1, kShadow, innerShadow, 3);
}

}  // namespace

void PrepareBillboards()
{
    PrepareBillboardThresholds(&BillboardTable, grandTotal);
}

void StartBillboards()
{
    PrepareBillboards();
    BillboardTable.currentBillboard = 0;
    BillboardTable.billboardOnLeft = 1;
    AdvanceBillboard(1);
}

void AdvanceBillboard(int showCurrent)
{
    RECT frame;
    if (showCurrent) {
        LoadBillboard(BillboardTable.billboardOnLeft, nullptr, &frame);
        RepaintFrame(&frame);
        return;
    }
    int k = BillboardStep(&BillboardTable, bytesCopied);
    if (k == 0)
        return;
    // Take the old billboard off, then show the next one on the other side.
    LoadBillboard(BillboardTable.billboardOnLeft, nullptr, &frame);
    uint16_t current = BillboardTable.currentBillboard;
    BillboardTable.currentBillboard = kNoBillboard;
    RepaintFrame(&frame);
    BillboardTable.currentBillboard = current;
    MoveBillboard(&BillboardTable, k);
    LoadBillboard(BillboardTable.billboardOnLeft, nullptr, &frame);
    RepaintFrame(&frame);
}

void HideBillboard()
{
    RECT frame;
    LoadBillboard(BillboardTable.billboardOnLeft, nullptr, &frame);
    BillboardTable.currentBillboard = kNoBillboard;
    RepaintFrame(&frame);
}

void PaintBillboard(HDC dc)
{
    if (BillboardTable.currentBillboard == kNoBillboard)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr)
        return;
    HBITMAP bitmap;
    RECT frame;
    LoadBillboard(BillboardTable.billboardOnLeft, &bitmap, &frame);
    if (bitmap != nullptr) {
        DrawBillboardFrame(dc, &frame);
        BITMAP size;
        if (GetObjectA(bitmap, sizeof size, &size) != 0) {
            HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(dc, frame.left + 5, frame.top + 5, size.bmWidth, size.bmHeight, memory, 0, 0,
                   SRCCOPY);
            SelectObject(memory, old);
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
}
