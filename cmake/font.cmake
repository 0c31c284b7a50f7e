# The editor reads "segoeui.ttf" from its working directory, and any TrueType
# font serves: the build places a copy of one beside the executable under
# that name. ORRINADE_FONT names it; left empty, the font is DejaVu Sans
# where the usual places have it, else fontconfig's sans TrueType font, else
# the first found of the usual places.
set(ORRINADE_FONT "" CACHE FILEPATH "The TrueType font the editor is given as segoeui.ttf")
set(ORRINADE_FONT_PLACES
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf       # Debian, Ubuntu
  /usr/share/fonts/dejavu-sans-fonts/DejaVuSans.ttf     # Fedora
  /usr/share/fonts/TTF/DejaVuSans.ttf                   # Arch
  /usr/share/fonts/truetype/DejaVuSans.ttf              # openSUSE
  /opt/homebrew/share/fonts/DejaVuSans.ttf              # macOS, Homebrew
  /usr/local/share/fonts/DejaVuSans.ttf
  /Library/Fonts/Arial.ttf                              # macOS
  /System/Library/Fonts/Supplemental/Arial.ttf
  C:/Windows/Fonts/segoeui.ttf                          # Windows
  CACHE STRING "Where to look for a font when fontconfig names none")

# DejaVu Sans first, wherever it is: the licence installed with the font
# is DejaVu's.
if(NOT ORRINADE_FONT)
  foreach(font IN LISTS ORRINADE_FONT_PLACES)
    if(font MATCHES "DejaVu" AND EXISTS "${font}")
      set(ORRINADE_FONT "${font}" CACHE FILEPATH "" FORCE)
      break()
    endif()
  endforeach()
endif()
if(NOT ORRINADE_FONT)
  find_program(ORRINADE_FC_MATCH fc-match NO_CMAKE_FIND_ROOT_PATH)
  if(ORRINADE_FC_MATCH)
    execute_process(COMMAND ${ORRINADE_FC_MATCH} -f "%{file}" "sans-serif:fontformat=TrueType"
      OUTPUT_VARIABLE font RESULT_VARIABLE failed ERROR_QUIET)
    if(NOT failed AND font MATCHES "\\.[tT][tT][fF]$" AND EXISTS "${font}")
      set(ORRINADE_FONT "${font}" CACHE FILEPATH "" FORCE)
    endif()
  endif()
endif()
if(NOT ORRINADE_FONT)
  foreach(font IN LISTS ORRINADE_FONT_PLACES)
    if(EXISTS "${font}")
      set(ORRINADE_FONT "${font}" CACHE FILEPATH "" FORCE)
      break()
    endif()
  endforeach()
endif()
if(NOT ORRINADE_FONT OR NOT EXISTS "${ORRINADE_FONT}")
  message(FATAL_ERROR "No TrueType font found for the editor: give one with "
    "-DORRINADE_FONT=/path/to/font.ttf (DejaVu Sans serves; Debian: fonts-dejavu-core)")
endif()
message(STATUS "Font: ${ORRINADE_FONT}")
