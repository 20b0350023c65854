// The window on Win32: a registered window class, one fixed-size window, its
// messages turned into the program's window events, the window's life
// (window_life.h) with the render procedure on a thread of its own, and the
// newest frame of the mailbox drawn on the window by GDI.
//
// Frames are handed to the user-interface thread, which asks for one and
// draws the one it gets when its present timer fires (about once per
// refresh of the display), and draws the last one again when the window
// needs painting. The render thread could draw on the window's DC itself,
// but it composes tens of thousands of frames a second: a GDI call per frame
// would cost far more than composing one and would tie the game's speed to
// the display path. Handed over, the render thread makes no window or
// drawing call (only GetTickCount, the sound calls and, on a palette
// display, the palette's nearest-colour search for an icon shown the first
// time), and copies only the frames asked for, as in the SDL backend.
//
// A frame is drawn as it is, an 8-bit DIB whose colour table is the frame's
// colours: GDI colours its bytes. On a display without a palette the table
// holds their RGB colours. On a palette display (palette_display.h) the
// start-up's palette calls go to GDI's palette manager, and the frame's
// palette (the identity palette) is realised in the window and the table
// holds palette indices, so that the bytes reach the display unchanged.
#include <cstddef>

#include "platform/mailbox.h"
#include "platform/report.h"
#include "platform/win32/palette_display.h"
#include "platform/win32/sound.h"
#include "platform/window.h"
#include "platform/window_life.h"

// After the platform's headers: the system's macros would take the place of
// the palette constants that those declare under the same names.
#include <windows.h>
#include <mmsystem.h>

namespace platform {

namespace {

constexpr UINT_PTR PRESENT_TIMER = 1;
// How long a present waits for the frame it asked for.
constexpr LONGLONG FRAME_PATIENCE_MS = 2;

struct Win32Backend {
    const WindowConfig* config = nullptr;
    WindowLife life{};
    HWND hwnd = nullptr;
    const Frame* shown = nullptr;  // the last frame taken; valid until the next take
    // On a palette display, the screen context of the start-up's palette
    // calls: opened before Create is sent, closed once the window is gone.
    Win32PaletteDisplay* paletteDisplay = nullptr;
    bool asked = false;          // a frame has been asked for and not taken yet
    bool createSeen = false;     // WM_CREATE came: a failure there has been reported
    bool reportDisplay = false;  // the display's figures are still to be said
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

ScreenContext* Win32Screen(const Window* window) {
    const auto* backend = static_cast<const Win32Backend*>(window->backend);
    return Win32PaletteDisplayScreen(backend->paletteDisplay);
}

constexpr WindowServices WIN32_SERVICES{Win32Ticks, Win32PrepareSound, Win32PlaySound, Win32Beep,
                                        Win32Screen};

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

// An 8-bit DIB's header and its colour table: RGB colours for
// DIB_RGB_COLORS, or indices into the DC's selected palette for
// DIB_PAL_COLORS.
struct Dib8 {
    BITMAPINFOHEADER header;
    union {
        RGBQUAD rgb[256];
        WORD index[256];
    } table;
};
static_assert(offsetof(Dib8, table) == offsetof(BITMAPINFO, bmiColors));

// The palette object that the frame's bytes are to be shown through: the
// frame's palette on a palette display; null on a display without one, or
// for a frame whose colours have no palette object.
HPALETTE FramePalette(const Win32Backend* backend, const Frame* frame) {
    if (backend->paletteDisplay == nullptr || frame == nullptr ||
        frame->colours->palette == nullptr) {
        return nullptr;
    }
    return static_cast<HPALETTE>(frame->colours->palette->native);
}

// Draws the shown frame stretched over its outWidth x outHeight of the client
// area, black around it; black alone before the first frame. Returns how many
// entries realising the frame's palette mapped, or -1 when no palette was
// realised.
int DrawFrame(HDC dc, const Win32Backend* backend) {
    const Frame* frame = backend->shown;
    int realised = -1;
    int coveredWidth = 0;
    int coveredHeight = 0;
    if (frame != nullptr && frame->width > 0 && frame->height > 0) {
        Dib8 dib{};
        dib.header.biSize = sizeof dib.header;
        dib.header.biWidth = frame->stride;
        dib.header.biHeight = -frame->height;  // top-down rows
        dib.header.biPlanes = 1;
        dib.header.biBitCount = 8;
        dib.header.biCompression = BI_RGB;
        dib.header.biClrUsed = 256;
        const FrameColours* colours = frame->colours;
        const HPALETTE palette = FramePalette(backend, frame);
        HPALETTE previous = nullptr;
        UINT usage = DIB_RGB_COLORS;
        if (palette != nullptr) {
            // Byte v shows palette entry paletteIndex[v]; with the identity
            // palette realised in the foreground, that entry is the
            // system-palette entry of the same index.
            previous = SelectPalette(dc, palette, FALSE);
            const UINT mapped = RealizePalette(dc);
            realised = mapped == GDI_ERROR ? 0 : static_cast<int>(mapped);
            for (int v = 0; v < 256; ++v) {
                dib.table.index[v] = colours->paletteIndex[v];
            }
            usage = DIB_PAL_COLORS;
        } else {
            for (int v = 0; v < 256; ++v) {
                const uint32_t argb = colours->argb.argb[v];
                dib.table.rgb[v] = RGBQUAD{static_cast<BYTE>(argb), static_cast<BYTE>(argb >> 8),
                                           static_cast<BYTE>(argb >> 16), 0};
            }
        }
        // Enlarged pixels are repeated, never blended.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, 0, 0, frame->outWidth, frame->outHeight, 0, 0, frame->width,
                      frame->height, frame->pixels, reinterpret_cast<const BITMAPINFO*>(&dib),
                      usage, SRCCOPY);
        if (palette != nullptr) {
            SelectPalette(dc, previous, FALSE);
        }
        coveredWidth = frame->outWidth;
        coveredHeight = frame->outHeight;
    }
    const int width = backend->life.window.clientWidth;
    const int height = backend->life.window.clientHeight;
    if (coveredWidth < width) {
        PatBlt(dc, coveredWidth, 0, width - coveredWidth, height, BLACKNESS);
    }
    if (coveredHeight < height && coveredWidth > 0) {
        PatBlt(dc, 0, coveredHeight, coveredWidth, height - coveredHeight, BLACKNESS);
    }
    return realised;
}

// Draws the shown frame on the window; the first frame drawn says the
// display's figures when they were asked for (KARIDO_REPORT_DISPLAY).
void DrawOnWindow(HDC dc, Win32Backend* backend) {
    const int realised = DrawFrame(dc, backend);
    if (backend->reportDisplay && backend->shown != nullptr) {
        backend->reportDisplay = false;
        Win32ReportDisplay(realised);
    }
}

// Realises the shown frame's palette in the window, where there is one,
// after the system palette has changed hands, and has the window painted
// again in what the palette now maps to. False without a palette.
bool RealiseAgain(HWND hwnd, const Win32Backend* backend) {
    const HPALETTE palette = FramePalette(backend, backend->shown);
    if (palette == nullptr) {
        return false;
    }
    if (HDC dc = GetDC(hwnd); dc != nullptr) {
        const HPALETTE previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        SelectPalette(dc, previous, FALSE);
        ReleaseDC(hwnd, dc);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
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

// The frame asked for, once it has come: the render thread hands it over
// within a frame of its own, tens of microseconds, so this waits at most
// FRAME_PATIENCE_MS, giving the processor away meanwhile. Null when it has
// not come by then.
const Frame* TakeAskedFrame(FrameMailbox* mailbox) {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG patience = frequency.QuadPart * FRAME_PATIENCE_MS / 1000;
    for (;;) {
        if (const Frame* frame = MailboxTakeNewest(mailbox); frame != nullptr) {
            return frame;
        }
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        if (now.QuadPart - start.QuadPart > patience) {
            return nullptr;
        }
        SwitchToThread();
    }
}

void SendEvent(Win32Backend* backend, WindowEventType type, int virtualKey, int x, int y) {
    WindowLifeSend(&backend->life, WindowEvent{type, virtualKey, x, y});
}

// WM_CREATE: the program's start-up, then its render thread. -1 refuses the
// window, after the failure has been said.
LRESULT OnCreate(Win32Backend* backend) {
    backend->createSeen = true;
    if (!WindowLifeCreate(&backend->life, backend->config, &WIN32_SERVICES, backend) ||
        !WindowLifeStartRenderThread(&backend->life)) {
        return -1;
    }
    return 0;
}

// WM_DESTROY, also after a refused WM_CREATE: the window's life ends (the
// render thread stopped, Destroy sent, the mailbox freed).
void OnDestroy(Win32Backend* backend) {
    KillTimer(backend->hwnd, PRESENT_TIMER);
    backend->shown = nullptr;
    WindowLifeEnd(&backend->life);
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
            if (wParam == PRESENT_TIMER && backend->life.window.mailbox != nullptr) {
                // The frame for this present is asked for now, once, and
                // waited for a little, so that what is shown was composed
                // after the present fell due. One that comes later is
                // shown at the next tick.
                FrameMailbox* mailbox = backend->life.window.mailbox;
                if (!backend->asked) {
                    MailboxRequest(mailbox);
                    backend->asked = true;
                }
                if (const Frame* frame = TakeAskedFrame(mailbox); frame != nullptr) {
                    backend->asked = false;
                    backend->shown = frame;
                    if (HDC dc = GetDC(hwnd); dc != nullptr) {
                        DrawOnWindow(dc, backend);
                        ReleaseDC(hwnd, dc);
                    }
                }
                return 0;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = BeginPaint(hwnd, &paint); dc != nullptr) {
                DrawOnWindow(dc, backend);
                EndPaint(hwnd, &paint);
            }
            return 0;
        }
        case WM_QUERYNEWPALETTE:
            // The window is becoming the foreground one: its palette takes
            // the system palette.
            return RealiseAgain(hwnd, backend) ? TRUE : FALSE;
        case WM_PALETTECHANGED:
            // Another window has realised its palette: ours maps onto the
            // system palette as it now is. The change our own realising
            // makes needs nothing more.
            if (reinterpret_cast<HWND>(wParam) != hwnd) {
                RealiseAgain(hwnd, backend);
            }
            return 0;
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
void EndWindow(Win32Backend* backend, bool finerTimer) {
    if (finerTimer) {
        timeEndPeriod(1);
    }
    Win32PaletteDisplayClose(backend->paletteDisplay);
    backend->paletteDisplay = nullptr;
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
    backend.reportDisplay = GetEnvironmentVariableA("KARIDO_REPORT_DISPLAY", nullptr, 0) > 0;
    // On a palette display the start-up, which runs during Create, makes
    // its palettes on the display's own palette manager.
    if (Win32ScreenHasPalette()) {
        backend.paletteDisplay = Win32PaletteDisplayOpen();
        if (backend.paletteDisplay == nullptr) {
            return 1;
        }
    }
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
        EndWindow(&backend, false);
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
        EndWindow(&backend, finerTimer);
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
            EndWindow(&backend, finerTimer);
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
    EndWindow(&backend, finerTimer);
    return static_cast<int>(message.wParam);
}

}  // namespace platform
