// The window on Win32: a registered window class, one fixed-size window, its
// messages turned into the program's window events, the render procedure on
// a thread of its own, and the newest frame of the mailbox drawn on the
// window by GDI.
//
// Frames are handed to the user-interface thread, which draws them with
// StretchDIBits when its present timer fires (about once per refresh of the
// display) and when the window needs painting. The render thread could draw
// on the window's DC itself, but it composes tens of thousands of frames a
// second: a GDI call per frame would cost far more than composing one and
// would tie the game's speed to the display path. Handed over, the render
// thread makes no window or GDI call at all (only GetTickCount and the sound
// calls), and frames it draws in between are skipped, as in the SDL backend.
#include <cstring>

#include "platform/mailbox.h"
#include "platform/render_thread.h"
#include "platform/report.h"
#include "platform/win32/sound.h"
#include "platform/window.h"

// After the platform's headers: the system's macros would take the place of
// the palette constants that those declare under the same names.
#include <windows.h>
#include <mmsystem.h>

namespace platform {

namespace {

constexpr UINT_PTR PRESENT_TIMER = 1;

struct Win32Backend {
    const WindowConfig* config = nullptr;
    Window window{};
    HWND hwnd = nullptr;
    FrameMailbox* mailbox = nullptr;
    const Frame* shown = nullptr;  // the last frame taken; valid until the next take
    RenderThread* renderThread = nullptr;
    bool createSeen = false;  // WM_CREATE came: a failure there has been reported
    bool created = false;     // Create succeeded: Destroy is owed
    // Added to the outer size computed from the system metrics, should that
    // size not give the client area asked for (a theme with other frames).
    int extraWidth = 0;
    int extraHeight = 0;
};

// The one window of the process. WM_GETMINMAXINFO comes before the creation
// parameters reach the window procedure, so the procedure finds its backend
// here rather than in the window's user data.
Win32Backend* activeBackend = nullptr;

uint32_t Win32Ticks(const Window*) {
    return GetTickCount();
}

bool Win32PrepareSound(const Window*, const uint8_t* wav, size_t size) {
    return Win32SoundPlayable(wav, size);
}

bool Win32PlaySound(const Window*, const uint8_t* wav, size_t size) {
    return Win32SoundPlay(wav, size);
}

void Win32Beep(const Window*) {
    Win32SoundBeep();
}

constexpr WindowServices WIN32_SERVICES{Win32Ticks, Win32PrepareSound, Win32PlaySound, Win32Beep};

// Reports why the window could not be had, with the system's words for the
// thread's last error.
void ReportSystemFailure(const char* what) {
    const DWORD error = GetLastError();
    char text[256] = "";
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text, sizeof text, nullptr);
    size_t end = length < sizeof text ? length : sizeof text - 1;
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) {
        --end;
    }
    text[end] = '\0';
    ReportFailure("%s: %s (error %lu)", what, end > 0 ? text : "no description",
                  static_cast<unsigned long>(error));
}

// The outer size that fits the client area exactly: the client plus the
// fixed frame on both sides, and the caption above.
SIZE OuterSize(const Win32Backend* backend) {
    const int width = backend->config->clientWidth +
                      2 * (GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXBORDER));
    const int height = backend->config->clientHeight +
                       2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYBORDER)) +
                       GetSystemMetrics(SM_CYCAPTION);
    return SIZE{width + backend->extraWidth, height + backend->extraHeight};
}

// Draws the shown frame stretched over its outWidth x outHeight of the client
// area, black around it; black alone before the first frame.
void DrawFrame(HDC dc, const Win32Backend* backend) {
    const Frame* frame = backend->shown;
    int coveredWidth = 0;
    int coveredHeight = 0;
    if (frame != nullptr && frame->width > 0 && frame->height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = frame->stride;
        info.bmiHeader.biHeight = -frame->height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // Enlarged pixels are repeated, never blended.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, 0, 0, frame->outWidth, frame->outHeight, 0, 0, frame->width,
                      frame->height, frame->pixels, &info, DIB_RGB_COLORS, SRCCOPY);
        coveredWidth = frame->outWidth;
        coveredHeight = frame->outHeight;
    }
    const int width = backend->window.clientWidth;
    const int height = backend->window.clientHeight;
    if (coveredWidth < width) {
        PatBlt(dc, coveredWidth, 0, width - coveredWidth, height, BLACKNESS);
    }
    if (coveredHeight < height && coveredWidth > 0) {
        PatBlt(dc, 0, coveredHeight, coveredWidth, height - coveredHeight, BLACKNESS);
    }
}

// How often the present timer fires: once per refresh of the display, as far
// as the display says how often it refreshes.
UINT PresentPeriodMilliseconds(HWND hwnd) {
    int hz = 0;
    if (HDC dc = GetDC(hwnd); dc != nullptr) {
        hz = GetDeviceCaps(dc, VREFRESH);
        ReleaseDC(hwnd, dc);
    }
    // 0 and 1 mean the hardware's default rate, which the system does not tell.
    if (hz <= 1) {
        hz = WINDOW_FALLBACK_REFRESH_HZ;
    }
    const UINT period = static_cast<UINT>(1000 / hz);
    return period > USER_TIMER_MINIMUM ? period : USER_TIMER_MINIMUM;
}

void SendEvent(Win32Backend* backend, WindowEventType type, int virtualKey, int x, int y) {
    const WindowEvent event{type, virtualKey, x, y};
    backend->config->procedure(&backend->window, &event, backend->config->context);
}

// WM_CREATE: the program's start-up, then its render thread. -1 refuses the
// window, after the start-up has said why (or here, for the thread).
LRESULT OnCreate(Win32Backend* backend) {
    backend->createSeen = true;
    backend->mailbox = MailboxCreate(backend->config->maxFrameWidth,
                                     backend->config->maxFrameHeight);
    if (backend->mailbox == nullptr) {
        ReportFailure("out of memory for the frame mailbox");
        return -1;
    }
    backend->window = Window{&WIN32_SERVICES, backend->mailbox, backend->config->clientWidth,
                             backend->config->clientHeight, backend};
    const WindowEvent create{WindowEventType::Create, 0, 0, 0};
    if (backend->config->procedure(&backend->window, &create, backend->config->context) != 0) {
        return -1;
    }
    backend->created = true;
    backend->renderThread = RenderThreadStart(&backend->config->render);
    if (backend->renderThread == nullptr) {
        ReportFailure("cannot start the render thread");
        return -1;
    }
    return 0;
}

// WM_DESTROY, also after a refused WM_CREATE: nothing draws into the mailbox
// or the program's objects once the render thread has stopped, and only
// then are they released.
void OnDestroy(Win32Backend* backend) {
    KillTimer(backend->hwnd, PRESENT_TIMER);
    RenderThreadStop(backend->renderThread);
    backend->renderThread = nullptr;
    if (backend->created) {
        backend->created = false;
        SendEvent(backend, WindowEventType::Destroy, 0, 0, 0);
    }
    backend->shown = nullptr;
    MailboxDestroy(backend->mailbox);
    backend->mailbox = nullptr;
}

LRESULT CALLBACK MessageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Backend* backend = activeBackend;
    if (backend == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            backend->hwnd = hwnd;
            return OnCreate(backend);
        case WM_GETMINMAXINFO: {
            // Minimum, maximum and maximised sizes are all the one size: the
            // window can be neither resized nor maximised.
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            const SIZE size = OuterSize(backend);
            limits->ptMaxSize = POINT{size.cx, size.cy};
            limits->ptMinTrackSize = POINT{size.cx, size.cy};
            limits->ptMaxTrackSize = POINT{size.cx, size.cy};
            return 0;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
            SendEvent(backend, message == WM_KEYDOWN ? WindowEventType::KeyDown
                                                     : WindowEventType::KeyUp,
                      static_cast<int>(wParam), 0, 0);
            return 0;
        case WM_LBUTTONDOWN:
            // Client coordinates, signed 16-bit each.
            SendEvent(backend, WindowEventType::LeftButtonDown, 0,
                      static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_COMMAND:
            return 0;
        case WM_TIMER:
            if (wParam == PRESENT_TIMER && backend->mailbox != nullptr) {
                if (const Frame* frame = MailboxTakeNewest(backend->mailbox); frame != nullptr) {
                    backend->shown = frame;
                    if (HDC dc = GetDC(hwnd); dc != nullptr) {
                        DrawFrame(dc, backend);
                        ReleaseDC(hwnd, dc);
                    }
                }
                return 0;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = BeginPaint(hwnd, &paint); dc != nullptr) {
                DrawFrame(dc, backend);
                EndPaint(hwnd, &paint);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // every paint covers the whole client area
        case WM_DESTROY:
            OnDestroy(backend);
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Should the window's client area not be the size asked for, the outer size
// is corrected by the difference and applied again.
void FitClientArea(Win32Backend* backend) {
    RECT client{};
    if (!GetClientRect(backend->hwnd, &client)) {
        return;
    }
    const int dw = backend->config->clientWidth - (client.right - client.left);
    const int dh = backend->config->clientHeight - (client.bottom - client.top);
    if (dw == 0 && dh == 0) {
        return;
    }
    backend->extraWidth += dw;
    backend->extraHeight += dh;
    const SIZE size = OuterSize(backend);
    SetWindowPos(backend->hwnd, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What WindowRun undoes on every way out, once the window is gone.
void EndWindow(bool finerTimer) {
    if (finerTimer) {
        timeEndPeriod(1);
    }
    activeBackend = nullptr;
}

}  // namespace

int WindowRun(const WindowConfig* config) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MessageProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = config->title;
    if (RegisterClassA(&windowClass) == 0) {
        ReportSystemFailure("cannot register the window class");
        return 1;
    }

    static Win32Backend backend;
    backend = Win32Backend{};
    backend.config = config;
    activeBackend = &backend;
    const HWND hwnd = CreateWindowExA(0, config->title, config->title,
                                      WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                      nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        // A refused WM_CREATE has said why already; otherwise the system says.
        if (!backend.createSeen) {
            ReportSystemFailure("cannot create the window");
        }
        activeBackend = nullptr;
        return 1;
    }
    FitClientArea(&backend);
    // The system's timer ticks every 15.6 ms by default, which would round a
    // 16 ms present period up to two ticks; at 1 ms the timer keeps to the
    // display's refresh.
    const bool finerTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    if (SetTimer(hwnd, PRESENT_TIMER, PresentPeriodMilliseconds(hwnd), nullptr) == 0) {
        ReportSystemFailure("cannot start the window's present timer");
        DestroyWindow(hwnd);
        EndWindow(finerTimer);
        return 1;
    }
    ShowWindow(hwnd, SW_SHOWDEFAULT);
    UpdateWindow(hwnd);

    MSG message{};
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            ReportSystemFailure("cannot read the window's messages");
            DestroyWindow(hwnd);
            EndWindow(finerTimer);
            return 1;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A quit message that the window's destruction did not post (one sent to
    // the thread from elsewhere) leaves the window and the render thread
    // running: both end here before the program's objects are released.
    if (IsWindow(hwnd)) {
        DestroyWindow(hwnd);
    }
    EndWindow(finerTimer);
    return static_cast<int>(message.wParam);
}

}  // namespace platform
