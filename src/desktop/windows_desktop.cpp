#include "desktop/windows_desktop.h"

#include "desktop/desktop_values.h"

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
            return checked_dpi(static_cast<double>(dpi));
    }
    // MDT_EFFECTIVE_DPI is 0.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (const auto get_dpi = entry<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor")) {
        UINT x = 0;
        UINT y = 0;
        if (SUCCEEDED(get_dpi(monitor, 0, &x, &y)) && y)
            return checked_dpi(static_cast<double>(y));
    }
    std::optional<double> dpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi = checked_dpi(static_cast<double>(GetDeviceCaps(screen, LOGPIXELSY)));
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

std::optional<ScreenRect> checked(const RECT& r)
{
    return checked_rect(r.left, r.top, static_cast<long>(r.right) - r.left, static_cast<long>(r.bottom) - r.top);
}

}

WindowsDesktop windows_desktop(void* window)
{
    const HWND hwnd = static_cast<HWND>(window);
    const HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const bool known = GetMonitorInfoW(monitor, &info);
    std::vector<ScreenRect> listed;
    if (const std::optional<ScreenRect> whole = known ? checked(info.rcMonitor) : std::nullopt)
        listed.push_back(*whole);
    WindowsDesktop found;
    Desktop& desktop = found.desktop;
    desktop = with_monitors(listed, 0, ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    if (known)
        desktop.work_area = checked(info.rcWork);
    desktop.dpi = dpi_of(hwnd, monitor);

    RECT outer{};
    RECT inner{};
    POINT corner{0, 0};
    desktop.frame = FrameExtents{};
    if (GetWindowRect(hwnd, &outer) && GetClientRect(hwnd, &inner) && ClientToScreen(hwnd, &corner)) {
        found.client = ScreenRect{corner.x, corner.y, inner.right, inner.bottom};
        desktop.frame = checked_extents(corner.x - outer.left, outer.right - (corner.x + inner.right),
                                        corner.y - outer.top, outer.bottom - (corner.y + inner.bottom))
                            .value_or(FrameExtents{});
    }
    return found;
}
