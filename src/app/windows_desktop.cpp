#include "app/windows_desktop.h"

#include <windows.h>

namespace {

// An entry point of a system library, looked up rather than linked, so that
// the editor still starts on a Windows that lacks it.
template <typename Function>
Function entry(const wchar_t* library, const char* name)
{
    HMODULE module = GetModuleHandleW(library);
    if (!module)
        module = LoadLibraryW(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::optional<double> dpi_of(HWND hwnd, HMONITOR monitor)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (const auto get_dpi = entry<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow")) {
        if (const UINT dpi = get_dpi(hwnd))
            return static_cast<double>(dpi);
    }
    // MDT_EFFECTIVE_DPI is 0.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (const auto get_dpi = entry<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor")) {
        UINT x = 0;
        UINT y = 0;
        if (SUCCEEDED(get_dpi(monitor, 0, &x, &y)) && y)
            return static_cast<double>(y);
    }
    std::optional<double> dpi;
    if (HDC screen = GetDC(nullptr)) {
        if (const int system = GetDeviceCaps(screen, LOGPIXELSY))
            dpi = static_cast<double>(system);
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

ScreenRect rect(const RECT& r)
{
    return ScreenRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}

WindowsSizing windows_sizing(void* window)
{
    const HWND hwnd = static_cast<HWND>(window);
    const HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    WindowsSizing sizing;
    sizing.dpi = dpi_of(hwnd, monitor);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        sizing.work_area = rect(info.rcWork);

    // The frame at the monitor's DPI where Windows can say it (Windows 10
    // 1607 and later), else as the window has it now.
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    const auto adjust = entry<AdjustFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT outer{0, 0, 0, 0};
    if (adjust && sizing.dpi && adjust(&outer, style, FALSE, ex_style, static_cast<UINT>(*sizing.dpi))) {
        sizing.frame = FrameExtents{-outer.left, outer.right, -outer.top, outer.bottom};
    } else {
        RECT client{};
        POINT corner{0, 0};
        if (GetWindowRect(hwnd, &outer) && GetClientRect(hwnd, &client) && ClientToScreen(hwnd, &corner))
            sizing.frame = FrameExtents{corner.x - outer.left, outer.right - (corner.x + client.right),
                                        corner.y - outer.top, outer.bottom - (corner.y + client.bottom)};
    }
    return sizing;
}

ScreenRect windows_frame(void* window)
{
    RECT outer{};
    return GetWindowRect(static_cast<HWND>(window), &outer) ? rect(outer) : ScreenRect{};
}
