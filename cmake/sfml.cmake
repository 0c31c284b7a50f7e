# Finds SFML 2 (2.5 or later) or SFML 3, or builds one along with the editor
# from ORRINADE_SFML_SOURCE, and names its libraries in
# ORRINADE_SFML_GRAPHICS, ORRINADE_SFML_WINDOW and ORRINADE_SFML_SYSTEM.

if(ORRINADE_SFML_SOURCE)
  include(FetchContent)
  set(SFML_BUILD_AUDIO OFF CACHE BOOL "" FORCE)
  set(SFML_BUILD_NETWORK OFF CACHE BOOL "" FORCE)
  set(SFML_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
  set(SFML_BUILD_DOC OFF CACHE BOOL "" FORCE)
  set(sfml_system)
  if(NOT CMAKE_VERSION VERSION_LESS 3.25)
    set(sfml_system SYSTEM)  # its headers are not ours to warn about
  endif()
  if(POLICY CMP0135)
    cmake_policy(SET CMP0135 NEW)  # extracted files dated now: rebuilt when the archive changes
  endif()
  if(WIN32)
    include(cmake/freetype.cmake)  # a current FreeType, never the one SFML bundles
  endif()
  FetchContent_Declare(sfml ${sfml_system} URL "${ORRINADE_SFML_SOURCE}")
  FetchContent_MakeAvailable(sfml)
  set(ORRINADE_SFML_LICENSE ${sfml_SOURCE_DIR}/license.md)
  message(STATUS "SFML: built from ${ORRINADE_SFML_SOURCE}")
else()

  # The first SFML on the search path (SFML_DIR, CMAKE_PREFIX_PATH, then the
  # system's) is the one used, whatever its version. SFML 3 answers to
  # capitalised component names; SFML 2 loads, finds none of them and leaves
  # SFML_DIR at its own folder for the second, lower-case search.
  set(requested_sfml_dir)
  if(SFML_DIR)
    set(requested_sfml_dir "${SFML_DIR}")
  endif()
  find_package(SFML CONFIG QUIET COMPONENTS Graphics Window System)
  if(SFML_FOUND AND NOT SFML_VERSION_MAJOR EQUAL 3)
    message(FATAL_ERROR "SFML ${SFML_VERSION} at ${SFML_DIR}: the editor supports SFML 2.5 or later and SFML 3")
  elseif(NOT SFML_FOUND)
    find_package(SFML 2.5 CONFIG REQUIRED COMPONENTS graphics window system)
  endif()

  # An SFML named but unusable is an error, never a reason to take another.
  get_filename_component(found "${SFML_DIR}" REALPATH)
  if(requested_sfml_dir)
    get_filename_component(requested "${requested_sfml_dir}" REALPATH)
    if(NOT requested STREQUAL found)
      message(FATAL_ERROR "SFML_DIR is ${requested_sfml_dir}, but no usable SFML is there "
        "(found ${SFML_DIR} instead)")
    endif()
  endif()
  foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
    file(GLOB configs "${prefix}/lib*/cmake/SFML/SFMLConfig.cmake"
      "${prefix}/lib*/*/cmake/SFML/SFMLConfig.cmake")
    get_filename_component(prefix_path "${prefix}" REALPATH)
    string(FIND "${found}/" "${prefix_path}/" at)
    if(configs AND NOT at EQUAL 0)
      message(FATAL_ERROR "CMAKE_PREFIX_PATH holds the SFML at ${configs}, but it is not usable "
        "(found ${SFML_DIR} instead)")
    endif()
  endforeach()
  message(STATUS "SFML ${SFML_VERSION}: ${SFML_DIR}")
endif()

# SFML 3 names its targets SFML::Graphics, SFML 2 sfml-graphics.
if(TARGET SFML::Graphics)
  set(ORRINADE_SFML_GRAPHICS SFML::Graphics)
  set(ORRINADE_SFML_WINDOW SFML::Window)
  set(ORRINADE_SFML_SYSTEM SFML::System)
else()
  set(ORRINADE_SFML_GRAPHICS sfml-graphics)
  set(ORRINADE_SFML_WINDOW sfml-window)
  set(ORRINADE_SFML_SYSTEM sfml-system)
endif()
