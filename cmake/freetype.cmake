# The FreeType a Windows build with SFML built along links, in place of the
# one SFML 2 bundles for Windows: that is FreeType 2.5.5, from 2014, with every
# memory-safety fault fixed since, and the editor parses whatever
# segoeui.ttf lies in the folder it is started in.
#
# ORRINADE_FREETYPE_SOURCE, a FreeType release archive (a path or a URL), is
# built here once, static and with none of its optional libraries: a TrueType
# font needs neither zlib, bzip2, PNG, HarfBuzz nor Brotli. Without it, an
# installed FreeType is looked for. Either way it must be 2.13.3 or later,
# past the faults known to be exploited (CVE-2025-27363 among them).
#
# Sets FREETYPE_INCLUDE_DIR_ft2build, FREETYPE_INCLUDE_DIR_freetype2 and
# FREETYPE_LIBRARY, which SFML's own search takes as found, and
# ORRINADE_FREETYPE_LICENSE.

set(ORRINADE_FREETYPE_SOURCE "" CACHE STRING
  "A FreeType release archive (a path or a URL) to build for Windows")
set(freetype_minimum 2.13.3)

if(ORRINADE_FREETYPE_SOURCE)
  include(FetchContent)
  if(POLICY CMP0169)
    cmake_policy(SET CMP0169 OLD)  # populated, then built apart from the editor's targets
  endif()
  FetchContent_Declare(freetype URL "${ORRINADE_FREETYPE_SOURCE}")
  FetchContent_GetProperties(freetype)
  if(NOT freetype_POPULATED)
    FetchContent_Populate(freetype)
  endif()

  set(prefix ${PROJECT_BINARY_DIR}/freetype)
  set(stamp ${prefix}/built-from.txt)
  set(built_from)
  if(EXISTS ${stamp})
    file(READ ${stamp} built_from)
  endif()
  if(NOT built_from STREQUAL ORRINADE_FREETYPE_SOURCE)
    set(options -G "${CMAKE_GENERATOR}")
    if(CMAKE_GENERATOR_PLATFORM)
      list(APPEND options -A "${CMAKE_GENERATOR_PLATFORM}")
    endif()
    if(CMAKE_TOOLCHAIN_FILE)
      get_filename_component(toolchain "${CMAKE_TOOLCHAIN_FILE}" ABSOLUTE BASE_DIR "${PROJECT_SOURCE_DIR}")
      list(APPEND options "-DCMAKE_TOOLCHAIN_FILE=${toolchain}")
    endif()
    message(STATUS "FreeType: building ${ORRINADE_FREETYPE_SOURCE}")
    foreach(step
        "-S;${freetype_SOURCE_DIR};-B;${freetype_BINARY_DIR};${options};-DCMAKE_BUILD_TYPE=Release;-DBUILD_SHARED_LIBS=OFF;-DFT_DISABLE_ZLIB=ON;-DFT_DISABLE_BZIP2=ON;-DFT_DISABLE_PNG=ON;-DFT_DISABLE_HARFBUZZ=ON;-DFT_DISABLE_BROTLI=ON;-DCMAKE_INSTALL_PREFIX=${prefix}"
        "--build;${freetype_BINARY_DIR};--config;Release"
        "--install;${freetype_BINARY_DIR};--config;Release")
      execute_process(COMMAND ${CMAKE_COMMAND} ${step} RESULT_VARIABLE failed OUTPUT_QUIET)
      if(failed)
        message(FATAL_ERROR "FreeType from ${ORRINADE_FREETYPE_SOURCE} did not build")
      endif()
    endforeach()
    file(WRITE ${stamp} "${ORRINADE_FREETYPE_SOURCE}")
  endif()

  if(MSVC)
    set(library ${prefix}/lib/freetype.lib)
  else()
    set(library ${prefix}/lib/libfreetype.a)
  endif()
  set(FREETYPE_INCLUDE_DIR_ft2build ${prefix}/include/freetype2 CACHE PATH "" FORCE)
  set(FREETYPE_INCLUDE_DIR_freetype2 ${prefix}/include/freetype2 CACHE PATH "" FORCE)
  set(FREETYPE_LIBRARY ${library} CACHE FILEPATH "" FORCE)
  set(ORRINADE_FREETYPE_LICENSE ${freetype_SOURCE_DIR}/docs/FTL.TXT)
else()
  find_package(Freetype)
  if(NOT FREETYPE_FOUND)
    message(FATAL_ERROR "No FreeType for the Windows build: give a release archive, "
      "-DORRINADE_FREETYPE_SOURCE=https://download.savannah.gnu.org/releases/freetype/freetype-2.14.3.tar.gz")
  endif()
  set(ORRINADE_FREETYPE_LICENSE ${PROJECT_SOURCE_DIR}/licenses/FreeType.txt)
endif()

# freetype.h is in freetype/ from FreeType 2.6 on, beside ft2build.h before.
find_file(freetype_header NAMES freetype/freetype.h freetype.h PATHS "${FREETYPE_INCLUDE_DIR_freetype2}"
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT freetype_header)
  message(FATAL_ERROR "No freetype.h in ${FREETYPE_INCLUDE_DIR_freetype2}: FreeType's version is unknown")
endif()
file(STRINGS "${freetype_header}" version_lines REGEX "^#define FREETYPE_(MAJOR|MINOR|PATCH) +[0-9]+")
unset(freetype_header CACHE)
set(freetype_version)
foreach(part MAJOR MINOR PATCH)
  string(REGEX REPLACE ".*#define FREETYPE_${part} +([0-9]+).*" "\\1" number "${version_lines}")
  list(APPEND freetype_version ${number})
endforeach()
string(REPLACE ";" "." freetype_version "${freetype_version}")
if(freetype_version VERSION_LESS freetype_minimum)
  message(FATAL_ERROR "FreeType ${freetype_version} at ${FREETYPE_LIBRARY} is older than "
    "${freetype_minimum}, with memory-safety faults known to be exploited: give a current release "
    "archive with -DORRINADE_FREETYPE_SOURCE=")
endif()
message(STATUS "FreeType ${freetype_version}: ${FREETYPE_LIBRARY}")
