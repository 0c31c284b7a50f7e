#ifndef ORRINADE_DESKTOP_X11_ERRORS_H
#define ORRINADE_DESKTOP_X11_ERRORS_H

// From this call on, X protocol errors that the desktop's state causes (a
// window manager's window gone while its mark stays on the root window, an
// atom the X server does not know) are survived: the request they answer
// fails, and the caller treats what it asked for as absent. This holds for
// the editor's own requests and for SFML's, on every connection of the
// process, for the rest of the run: such an error may reach SFML's
// connection only once its window creation has returned. The first is told
// in one line on stderr. Every other X error still ends the process through
// the handler it replaces (Xlib's default), as an I/O error (the server
// gone) does.
void survive_desktop_x_errors();

#endif
