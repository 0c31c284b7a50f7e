#include "desktop/x11_properties.h"

#include <X11/Xatom.h>

#include <cstring>

namespace {

// The property's items where it is set with this type and format; Xlib
// hands 32-bit items back as longs.
template <typename Item>
std::optional<std::vector<Item>> property(Display* display, Window window, const char* name, Atom type, int format)
{
    const Atom atom = existing_atom(display, name);
    if (atom == None || type == None)
        return std::nullopt;
    Atom actual_type = None;
    int actual_format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, atom, 0, 1 << 20, False, type, &actual_type,
                                          &actual_format, &items, &after, &data);
    std::optional<std::vector<Item>> values;
    if (status == Success && actual_type == type && actual_format == format && data) {
        values.emplace(items);
        std::memcpy(values->data(), data, items * sizeof(Item));
    }
    if (data)
        XFree(data);
    return values;
}

}

Atom existing_atom(Display* display, const char* name)
{
    return XInternAtom(display, name, True);
}

std::optional<std::vector<long>> long_property(Display* display, Window window, const char* name, Atom type)
{
    return property<long>(display, window, name, type, 32);
}

std::string text_property(Display* display, Window window, const char* name)
{
    const auto bytes = property<char>(display, window, name, XA_STRING, 8);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}
