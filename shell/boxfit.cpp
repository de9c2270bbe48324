// Fitting a message box to its text (see boxfit.h).
#include "shell/boxfit.h"

void FitBoxToText(HWND dialog, int textId)
{
    HWND text = GetDlgItem(dialog, textId);
    char content[2048];
    if (text == nullptr || GetWindowTextA(text, content, sizeof content) <= 0)
        return;
    RECT area;
    GetWindowRect(text, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    HDC dc = GetDC(text);
    if (dc == nullptr)
        return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    // Measured as the control draws it: an '&' stays itself in a control
    // that shows no prefixes.
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
    if (GetWindowLongA(text, GWL_STYLE) & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    RECT needed = {0, 0, area.right - area.left, 0};
    int measured = DrawTextA(dc, content, -1, &needed, format);
    if (old != nullptr)
        SelectObject(dc, old);
    ReleaseDC(text, dc);
    int spare = (area.bottom - area.top) - (needed.bottom - needed.top);
    if (measured == 0 || spare <= 0)
        return;

    MoveWindow(text, area.left, area.top, area.right - area.left, area.bottom - area.top - spare, FALSE);
    for (int id = 1; id <= 3; ++id) {
        HWND button = GetDlgItem(dialog, id);
        if (button == nullptr)
            continue;
        RECT place;
        GetWindowRect(button, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        MoveWindow(button, place.left, place.top - spare, place.right - place.left,
                   place.bottom - place.top, FALSE);
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - spare,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
