#ifndef ORRINADE_APP_FONT_FILE_H
#define ORRINADE_APP_FONT_FILE_H

#include <string>

// True when `path` is a readable regular file holding a whole sfnt font
// (TrueType, OpenType or a collection of them): every table that a font's
// directory lists lies wholly inside the file. FreeType opens some truncated
// fonts without complaint and then renders their text with glyphs missing;
// checking first lets such a file count as one that will not load. Only the
// headers and table directories are read, never the tables: the memory and
// time taken do not grow with the file's size.
bool is_complete_font_file(const std::string& path);

#endif
