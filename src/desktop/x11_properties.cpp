#include "desktop/x11_properties.h"

#include <cstring>
#include <iterator>

DesktopAtoms desktop_atoms(Display* display)
{
    char* names[] = {const_cast<char*>("_NET_SUPPORTING_WM_CHECK"), const_cast<char*>("_NET_SUPPORTED"),
                     const_cast<char*>("_NET_REQUEST_FRAME_EXTENTS"), const_cast<char*>("_NET_FRAME_EXTENTS"),
                     const_cast<char*>("_NET_WORKAREA"), const_cast<char*>("_NET_CURRENT_DESKTOP")};
    Atom found[std::size(names)] = {};
    // Made where the server does not know them yet: a manager that starts, or
    // first sets a hint, after the connection opened is still seen.
    XInternAtoms(display, names, static_cast<int>(std::size(names)), False, found);
    return DesktopAtoms{found[0], found[1], found[2], found[3], found[4], found[5]};
}

std::optional<std::vector<long>> long_property(Display* display, Window window, Atom name, Atom type)
{
    if (name == None || type == None)
        return std::nullopt;
    Atom actual_type = None;
    int actual_format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, name, 0, 1 << 20, False, type, &actual_type,
                                          &actual_format, &items, &after, &data);
    std::optional<std::vector<long>> values;
    // Xlib hands 32-bit items back as longs.
    if (status == Success && actual_type == type && actual_format == 32 && data) {
        values.emplace(items);
        std::memcpy(values->data(), data, items * sizeof(long));
    }
    if (data)
        XFree(data);
    return values;
}
