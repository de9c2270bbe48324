// tovarin.exe of the sample distribution: a window titled "Tovarin" that
// shows the document it was started with.  The installer registers it as
// the program of ".tvd" documents and ".tvs" settings files, whose icons
// are its icons 1 and 2 (resource ids 101 and 102; the program's own icon,
// id 100, comes first).
#include <windows.h>

#include "tovarin_res.h"

namespace {

const char kClassName[] = "TovarinMain";
char documentPath[MAX_PATH];

// The command-line tail without surrounding blanks and quotes; the shell
// passes the document as "%1" in quotes.
void TakeDocumentPath(const char* tail)
{
    while (*tail == ' ' || *tail == '\t') ++tail;
    int quoted = *tail == '"';
    if (quoted) ++tail;
    int n = 0;
    while (tail[n] != '\0' && n < MAX_PATH - 1 && !(quoted && tail[n] == '"')) {
        documentPath[n] = tail[n];
        ++n;
    }
    while (n > 0 && !quoted && (documentPath[n - 1] == ' ' || documentPath[n - 1] == '\t')) --n;
    documentPath[n] = '\0';
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // A static control holds the path, so that a test can read it back.
        HWND text = CreateWindowA("STATIC", documentPath[0] ? documentPath : "(no document)",
                                  WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0,
                                  window, reinterpret_cast<HMENU>(IDC_DOCUMENT_PATH),
                                  reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance, nullptr);
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        return 0;
    }
    case WM_SIZE:
        MoveWindow(GetDlgItem(window, IDC_DOCUMENT_PATH), 8, HIWORD(lParam) / 2 - 10,
                   LOWORD(lParam) - 16, 20, TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int show)
{
    TakeDocumentPath(commandTail != nullptr ? commandTail : "");

    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TOVARIN));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;

    HWND window = CreateWindowA(kClassName, "Tovarin", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 160, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
