#include "app/windows_scale.h"

#include "app/display_scale.h"

#include <windows.h>

#include <optional>

double windows_scale(void* window, int design_side)
{
    const HWND hwnd = static_cast<HWND>(window);
    // Looked up, not linked: older Windows has no GetDpiForWindow.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto get_dpi = user32 ? reinterpret_cast<GetDpiForWindowFn>(
                                      reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                                : nullptr;
    std::optional<double> dpi;
    if (get_dpi) {
        if (const UINT value = get_dpi(hwnd))
            dpi = static_cast<double>(value);
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ScreenRect work{0, 0, design_side, design_side};
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &info)) {
        const RECT& r = info.rcWork;
        work = ScreenRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    return display_scale(dpi, design_side, work);
}
