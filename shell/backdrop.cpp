// The backdrop: a captionless, sizeable popup that covers the screen but for
// a 50-pixel margin, showing bitmap 1 stretched over its client area, the
// logo at (30, 30) and, while files are copied, a billboard.  Also the two
// control classes that the dialog templates use.
#include "shell/shell.h"
#include "resources/resource.h"
#include "shell/dialogs.h"
#include "base/resources.h"

HINSTANCE appInstance;
HWND      mainWindow;
HPALETTE  backdropPalette;

namespace {

const char kBackdropClass[]  = "ORV_DSKINSTALL";
const char kBitmapClass[]    = "bitmapwindow";
const char kIndicatorClass[] = "indicwindow";

// Bitmap 1 is a packed DIB: a 40-byte header, exactly 256 colour-table
// entries, then the pixels at offset 1064.
const DWORD kPaletteEntries = 256;
const DWORD kBackdropBitsOffset = sizeof(BITMAPINFOHEADER) + kPaletteEntries * sizeof(RGBQUAD);
const COLORREF kLogoKey = RGB(0xFF, 0x00, 0xFF);

// The raw bytes of a bitmap resource, or null.
const BYTE* LockBitmapResource(int id, DWORD* bytes)
{
    return static_cast<const BYTE*>(
        LockLanguageResource(appInstance, MAKEINTRESOURCEA(2) /* RT_BITMAP */, id, bytes));
}

// Bitmap 1 as the backdrop needs it: 8 bits, 256 colours, every pixel row
// inside the resource.  Anything else is drawn as no bitmap at all.
const BITMAPINFOHEADER* BackdropBitmap(DWORD* bytes)
{
    const BYTE* data = LockBitmapResource(IDB_BACKDROP, bytes);
    if (data == nullptr || *bytes < kBackdropBitsOffset)
        return nullptr;
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biBitCount != 8 ||
        header->biCompression != BI_RGB || header->biWidth <= 0 || header->biHeight == 0)
        return nullptr;
    LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    ULONGLONG stride = ((static_cast<ULONGLONG>(header->biWidth) * 8 + 31) / 32) * 4;
    if (stride * static_cast<ULONGLONG>(height) > *bytes - kBackdropBitsOffset)
        return nullptr;
    return header;
}

void CreateBackdropPalette(HWND window)
{
    HDC dc = GetDC(window);
    DWORD bytes = 0;
    const BYTE* data = LockBitmapResource(IDB_BACKDROP, &bytes);
    if (data != nullptr && bytes >= kBackdropBitsOffset) {
        LOGPALETTE* palette = static_cast<LOGPALETTE*>(
            LocalAlloc(LPTR, sizeof(LOGPALETTE) + (kPaletteEntries - 1) * sizeof(PALETTEENTRY)));
        if (palette != nullptr) {
            palette->palVersion = 0x300;
            palette->palNumEntries = kPaletteEntries;
            // The colour table is stored blue, green, red, reserved.
            const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(data + sizeof(BITMAPINFOHEADER));
            for (DWORD i = 0; i < kPaletteEntries; ++i) {
                palette->palPalEntry[i].peRed   = table[i].rgbRed;
                palette->palPalEntry[i].peGreen = table[i].rgbGreen;
                palette->palPalEntry[i].peBlue  = table[i].rgbBlue;
                palette->palPalEntry[i].peFlags = 0;
            }
            backdropPalette = CreatePalette(palette);
            LocalFree(palette);
        }
    }
    if (dc != nullptr)
        ReleaseDC(window, dc);
}

LRESULT CALLBACK BitmapWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(
            GetParent(window), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
            reinterpret_cast<LPARAM>(window)));
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
        HDC memory = bitmap != nullptr ? CreateCompatibleDC(dc) : nullptr;
        if (memory != nullptr) {
            RECT client;
            GetClientRect(window, &client);
            if (brush != nullptr)
                FillRect(dc, &client, brush);
            // A bitmap whose size cannot be read is not drawn.
            BITMAP size;
            if (GetObjectA(bitmap, sizeof size, &size) != 0) {
                HGDIOBJ old = SelectObject(memory, bitmap);
                int x = (client.right - size.bmWidth) / 2;
                int y = (client.bottom - size.bmHeight) / 2;
                BitBlt(dc, x < 0 ? 0 : x, y < 0 ? 0 : y, size.bmWidth, size.bmHeight,
                       memory, 0, 0, SRCCOPY);
                SelectObject(memory, old);
            }
            DeleteDC(memory);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY: {
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        return 1;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// A plain light-grey child window; the progress indicator is drawn into it
// from outside.
LRESULT CALLBACK IndicatorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterControlClass(HINSTANCE instance, const char* name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

}  // namespace

int CreateBackdropWindow(HINSTANCE instance, HWND* window)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BackdropWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.lpszClassName = kBackdropClass;
    if (!RegisterClassA(&wc))
        return 0;

    appInstance = instance;

    if (!RegisterControlClass(instance, kBitmapClass, BitmapWindowProc,
                              reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)) ||
        !RegisterControlClass(instance, kIndicatorClass, IndicatorWindowProc,
                              static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))))
        return 0;

    char title[IDS_TITLE_BYTES];
    LoadResourceText(IDS_TITLE, title, sizeof title);

    // WM_CREATE builds the palette inside this call.
    *window = CreateWindowExA(0, kBackdropClass, title, WS_POPUP | WS_THICKFRAME, 50, 50,
                              GetSystemMetrics(SM_CXSCREEN) - 100,
                              GetSystemMetrics(SM_CYSCREEN) - 100,
                              nullptr, nullptr, instance, nullptr);
    if (*window == nullptr)
        return 0;

    ShowWindow(*window, SW_SHOWNORMAL);
    UpdateWindow(*window);
    return 1;
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateBackdropPalette(window);
        return 1;
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_QUERYNEWPALETTE: {
        HDC dc = GetDC(window);
        if (dc != nullptr) {
            if (backdropPalette != nullptr) {
                HPALETTE old = SelectPalette(dc, backdropPalette, FALSE);
                RealizePalette(dc);
                SelectPalette(dc, old, FALSE);
            }
            ReleaseDC(window, dc);
        }
        return 1;
    }
    case WM_DESTROY:
        if (backdropPalette != nullptr) {
            DeleteObject(backdropPalette);
            backdropPalette = nullptr;
        }
        PostQuitMessage(0);
        return 1;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void PaintBackdrop(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // With no background brush nothing erases the backdrop: every paint
    // covers the whole update region with the picture.
    if (!IsRectEmpty(&paint.rcPaint)) {
        SetGraphicsMode(dc, GM_ADVANCED);
        DrawBackdropImage(window, dc, IDB_BACKDROP);
        DrawLogo(dc, 30, 30);
        PaintBillboard(dc);
    }
    EndPaint(window, &paint);
}

void DrawBackdropImage(HWND window, HDC dc, int bitmapId)
{
    (void)bitmapId;  // the backdrop is always bitmap 1, checked by BackdropBitmap
    DWORD bytes = 0;
    const BITMAPINFOHEADER* header = BackdropBitmap(&bytes);
    if (header == nullptr)
        return;

    RECT client;
    GetClientRect(window, &client);
    HPALETTE oldPalette = nullptr;
    if (backdropPalette != nullptr) {
        oldPalette = SelectPalette(dc, backdropPalette, FALSE);
        RealizePalette(dc);
    }
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + kBackdropBitsOffset;
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, header->biWidth,
                  header->biHeight < 0 ? -header->biHeight : header->biHeight, bits,
                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY);
    if (oldPalette != nullptr)
        SelectPalette(dc, oldPalette, FALSE);
}

HBITMAP MakePicture(HDC dc, int id, int trueColour)
{
    DWORD bytes = 0;
    const BYTE* data = LockBitmapResource(id, &bytes);
    if (data == nullptr || bytes < sizeof(BITMAPINFOHEADER))
        return nullptr;
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    // A full colour table of 2^bitcount entries, then the pixels; 24 bits
    // have no table.
    int bits = header->biBitCount;
    if ((bits != 1 && bits != 4 && bits != 8 && (bits != 24 || !trueColour)) || header->biWidth <= 0 ||
        header->biHeight <= 0)
        return nullptr;
    DWORD entries = bits <= 8 ? 1u << bits : 0;
    DWORD offset = static_cast<DWORD>(sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD));
    ULONGLONG stride = ((static_cast<ULONGLONG>(header->biWidth) * bits + 31) / 32) * 4;
    if (offset > bytes || stride * static_cast<ULONGLONG>(header->biHeight) > bytes - offset)
        return nullptr;
    return CreateDIBitmap(dc, header, CBM_INIT, data + offset, reinterpret_cast<const BITMAPINFO*>(header),
                          DIB_RGB_COLORS);
}

void DrawLogo(HDC dc, int x, int y)
{
    // Made for the screen's own colours, not the backdrop's palette, so that
    // the key colour stays exactly the key colour.
    HDC screen = GetDC(nullptr);
    HBITMAP logo = screen != nullptr ? MakePicture(screen, IDB_LOGO, 1) : nullptr;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    if (logo == nullptr)
        return;
    HBITMAP mask = CreateKeyMask(logo, kLogoKey);
    if (mask == nullptr) {
        DeleteObject(logo);
        return;
    }
    // Without the sizes of both bitmaps there is nothing to draw.
    BITMAP maskSize, logoSize;
    HDC memory = nullptr;
    if (GetObjectA(mask, sizeof maskSize, &maskSize) != 0 &&
        GetObjectA(logo, sizeof logoSize, &logoSize) != 0)
        memory = CreateCompatibleDC(nullptr);
    if (memory == nullptr) {
        DeleteObject(mask);
        DeleteObject(logo);
        return;
    }

    // Black out the logo's opaque area, leaving the key area untouched...
    HGDIOBJ old = SelectObject(memory, mask);
    BitBlt(dc, x, y, maskSize.bmWidth, maskSize.bmHeight, memory, 0, 0, SRCAND);
    // ...and XOR the logo in.  That leaves the key colour XORed over the key
    // area, which the second XOR below takes out again.
    SelectObject(memory, logo);
    BitBlt(dc, x, y, logoSize.bmWidth, logoSize.bmHeight, memory, 0, 0, SRCINVERT);

    // Turn the logo's opaque pixels black, keeping the key colour elsewhere.
    HDC second = CreateCompatibleDC(nullptr);
    if (second != nullptr) {
        // A bitmap is selected into one context at a time: the mask takes
        // the logo's place in the first before the logo enters the second.
        SelectObject(memory, mask);
        HGDIOBJ oldSecond = SelectObject(second, logo);
        BitBlt(second, 0, 0, maskSize.bmWidth, maskSize.bmHeight, memory, 0, 0, SRCAND);
        SelectObject(second, oldSecond);
        DeleteDC(second);
    }
    SelectObject(memory, logo);
    BitBlt(dc, x, y, logoSize.bmWidth, logoSize.bmHeight, memory, 0, 0, SRCINVERT);

    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(mask);
    DeleteObject(logo);
}

HBITMAP CreateKeyMask(HBITMAP colour, COLORREF key)
{
    BITMAP size;
    if (GetObjectA(colour, sizeof size, &size) == 0)
        return nullptr;
    HBITMAP mask = CreateBitmap(size.bmWidth, size.bmHeight, 1, 1, nullptr);
    if (mask == nullptr)
        return nullptr;
    HDC maskDc = CreateCompatibleDC(nullptr);
    if (maskDc == nullptr) {
        DeleteObject(mask);
        return nullptr;
    }
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    HDC colourDc = CreateCompatibleDC(nullptr);
    if (colourDc == nullptr) {
        SelectObject(maskDc, oldMask);
        DeleteDC(maskDc);
        return mask;
    }
    // Colour to monochrome: pixels of the background colour become 1 (white),
    // all others 0 (black).
    HGDIOBJ oldColour = SelectObject(colourDc, colour);
    SetBkColor(colourDc, key);
    BitBlt(maskDc, 0, 0, size.bmWidth, size.bmHeight, colourDc, 0, 0, SRCCOPY);
    SelectObject(colourDc, oldColour);
    SelectObject(maskDc, oldMask);
    DeleteDC(colourDc);
    DeleteDC(maskDc);
    return mask;
}
