// baseline.exe: the smallest Win32 window program, built like setup.exe
// (its own entry point, no C run-time library).  make bench-install measures
// its peak working set beside setup.exe's, so that what setup.exe itself
// adds can be told from what any window program costs under Wine.  It shows
// one window, paints a line of text and ends when the window is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        TextOutA(dc, 8, 8, "baseline", 8);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

extern "C" void BaselineStartup()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BaselineProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "TovarinBaseline";
    UINT status = 1;
    if (RegisterClassA(&windowClass) != 0) {
        HWND window = CreateWindowExA(0, "TovarinBaseline", "Baseline", WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                      instance, nullptr);
        if (window != nullptr) {
            ShowWindow(window, SW_SHOWNORMAL);
            UpdateWindow(window);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            status = 0;
        }
    }
    ExitProcess(status);
}
