# What `cmake --install` puts in place: on Linux the tree a distribution
# packages (Debian's source package builds its .deb from it; nothing here
# reads debian/, which a release tarball leaves out);
# on Windows one folder, zipped by CPack and packed into an installer by NSIS.
# Everything is in the component "orrinade", apart from anything an SFML
# built along installs of its own.
option(ORRINADE_LINK_DEBIAN_FONT
  "Install Debian's DejaVu Sans as a link under the name the editor reads, not a copy" OFF)
option(ORRINADE_INSTALL_DOC_FILES
  "Install the licence, copyright and changelog in share/doc (a distribution's tools may do it instead)" ON)
# Directories made by the install get these, whatever the umask, so that
# packages made of the tree are the same on every build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The date the build stands for: SOURCE_DATE_EPOCH, the caller's (Debian's
# build sets it from debian/changelog), else the commit's. Packages made of
# the tree are the same bytes on every build of it.
set(ORRINADE_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT ORRINADE_SOURCE_DATE_EPOCH AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE ORRINADE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()

# The version is project()'s alone. Where CHANGELOG holds its entry
# "## VERSION (YYYY-MM-DD)", the tree is that release, of that date; else it
# is a snapshot on the way to it (its changes under "## Unreleased"), and
# says so wherever a release would be named.
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
file(STRINGS CHANGELOG entry REGEX "^## ${version_pattern} \\([0-9]+-[0-9]+-[0-9]+\\)$")
if(entry MATCHES "\\(([0-9]+-[0-9]+-[0-9]+)\\)$")
  set(release "<release version=\"${PROJECT_VERSION}\" date=\"${CMAKE_MATCH_1}\"/>")
  set(screenshot_ref v${PROJECT_VERSION})
else()
  set(release "")
  if(ORRINADE_SOURCE_DATE_EPOCH)
    set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
    set(ENV{SOURCE_DATE_EPOCH} ${ORRINADE_SOURCE_DATE_EPOCH})
    string(TIMESTAMP snapshot_date "%Y-%m-%d" UTC)
    set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
    set(release "<release version=\"${PROJECT_VERSION}\" type=\"development\" date=\"${snapshot_date}\"/>")
  endif()
  set(screenshot_ref main)
  message(STATUS "CHANGELOG has no entry \"## ${PROJECT_VERSION} (YYYY-MM-DD)\": a snapshot, not the release")
endif()

# The copyright file installed in share/doc: the editor's licence, then its font's.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE project_license)
file(READ ${PROJECT_SOURCE_DIR}/licenses/DejaVu-fonts.txt font_license)
file(WRITE ${PROJECT_BINARY_DIR}/copyright
  "Orrinade\n\n${project_license}\n\nThe font installed as segoeui.ttf: ${font_license}")
get_filename_component(font_name "${ORRINADE_FONT}" NAME)
if(NOT font_name MATCHES "^DejaVu")
  message(STATUS "The font ${font_name} is not DejaVu: the licence installed with it is DejaVu's")
endif()

if(WIN32)
  # One folder, as a Windows user unpacks it: the editor starts beside its font.
  install(TARGETS orrinade RUNTIME DESTINATION . COMPONENT orrinade)
  install(FILES ${ORRINADE_FONT} DESTINATION . RENAME segoeui.ttf COMPONENT orrinade)
  install(FILES packaging/windows/README.txt DESTINATION . COMPONENT orrinade)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT orrinade)
  install(FILES licenses/DejaVu-fonts.txt DESTINATION licenses COMPONENT orrinade)
  if(ORRINADE_FREETYPE_LICENSE)
    install(FILES ${ORRINADE_FREETYPE_LICENSE} DESTINATION licenses RENAME FreeType.txt
      COMPONENT orrinade)
  endif()
  if(ORRINADE_SFML_LICENSE)
    install(FILES ${ORRINADE_SFML_LICENSE} DESTINATION licenses RENAME SFML.txt COMPONENT orrinade)
  endif()
  set(CPACK_PACKAGE_FILE_NAME "orrinade-${PROJECT_VERSION}-win64")

  # orrinade-<version>-win64-setup.exe, made by NSIS from the installed files:
  # cmake --build <build> --target installer
  find_program(ORRINADE_MAKENSIS makensis PATHS "C:/Program Files (x86)/NSIS" "C:/Program Files/NSIS")
  if(ORRINADE_MAKENSIS)
    set(stage ${PROJECT_BINARY_DIR}/installer)
    add_custom_target(installer
      COMMAND ${CMAKE_COMMAND} -E remove_directory ${stage}
      COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage} --component orrinade
        --config $<CONFIG>
      COMMAND ${ORRINADE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage}
        -DICON=${ORRINADE_ICON} -DOUTFILE=${PROJECT_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}-setup.exe
        ${PROJECT_SOURCE_DIR}/packaging/windows/orrinade.nsi
      DEPENDS orrinade
      VERBATIM)
  endif()
else()
  # bin/orrinade starts lib/orrinade/orrinade in share/orrinade, beside the font.
  # An SFML outside the system's library folders is found through the
  # RUNPATH, as in the build tree.
  get_target_property(imported ${ORRINADE_SFML_GRAPHICS} IMPORTED)
  if(imported)
    get_target_property(sfml_library ${ORRINADE_SFML_GRAPHICS} LOCATION)
    get_filename_component(sfml_library_dir "${sfml_library}" DIRECTORY)
    if(NOT sfml_library_dir IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
      set_target_properties(orrinade PROPERTIES INSTALL_RPATH "${sfml_library_dir}")
    endif()
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # An SFML built along installs its libraries in lib/, beside lib/orrinade/.
    set_target_properties(orrinade PROPERTIES INSTALL_RPATH "\$ORIGIN/..")
  endif()
  install(TARGETS orrinade RUNTIME DESTINATION lib/orrinade COMPONENT orrinade)
  install(FILES ${ORRINADE_FONT} DESTINATION share/orrinade RENAME segoeui.ttf COMPONENT orrinade)
  # A .deb does not ship a font of its own: it depends on Debian's font
  # package and links its file under the name the editor reads.
  if(ORRINADE_LINK_DEBIAN_FONT)
    install(CODE [[
      set(font "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/orrinade/segoeui.ttf")
      file(REMOVE "${font}")
      file(CREATE_LINK ../fonts/truetype/dejavu/DejaVuSans.ttf "${font}" SYMBOLIC)
    ]] COMPONENT orrinade)
  endif()
  install(PROGRAMS packaging/orrinade.sh DESTINATION bin RENAME orrinade COMPONENT orrinade)
  install(FILES packaging/orrinade.desktop DESTINATION share/applications COMPONENT orrinade)
  install(FILES packaging/orrinade.svg DESTINATION share/icons/hicolor/scalable/apps
    COMPONENT orrinade)
  if(ORRINADE_INSTALL_DOC_FILES)
    install(FILES LICENSE ${PROJECT_BINARY_DIR}/copyright
      DESTINATION share/doc/orrinade COMPONENT orrinade)
  endif()

  # What distributions ship beside the program: the manual page and the
  # changelog, each compressed as Debian wants them (gzip -9n: no name,
  # no time stamp, the same bytes on every build), and the AppStream metainfo
  # that software centres read.
  find_program(ORRINADE_GZIP gzip)
  if(NOT ORRINADE_GZIP)
    message(FATAL_ERROR "gzip was not found: it compresses the manual page and the changelog")
  endif()
  set(packaged)
  configure_file(packaging/orrinade.1.in ${PROJECT_BINARY_DIR}/packaging/man/orrinade.1 @ONLY)
  foreach(source ${PROJECT_BINARY_DIR}/packaging/man/orrinade.1 ${PROJECT_SOURCE_DIR}/CHANGELOG)
    get_filename_component(name ${source} NAME)
    string(TOLOWER ${name} name)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${PROJECT_BINARY_DIR}/packaging/${name}
      COMMAND ${ORRINADE_GZIP} -9nf ${PROJECT_BINARY_DIR}/packaging/${name}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND packaged ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  endforeach()
  add_custom_target(orrinade_packaging ALL DEPENDS ${packaged})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/orrinade.1.gz DESTINATION share/man/man1
    COMPONENT orrinade)
  if(ORRINADE_INSTALL_DOC_FILES)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/orrinade
      COMPONENT orrinade)
  endif()

  set(ORRINADE_APP_ID io.github.orrinade.orrinade)
  set(ORRINADE_HOMEPAGE "https://github.com/orrinade/orrinade" CACHE STRING
    "The project's home page, named in the AppStream metainfo")
  # Empty: docs/screenshot.png at the release's tag vVERSION, or on main
  # between releases (decided at each configure, as CHANGELOG says).
  set(ORRINADE_SCREENSHOT_URL "" CACHE STRING "Where software centres fetch the screenshot the metainfo shows")
  set(screenshot_url "${ORRINADE_SCREENSHOT_URL}")
  if(NOT screenshot_url)
    set(screenshot_url "https://raw.githubusercontent.com/orrinade/orrinade/${screenshot_ref}/docs/screenshot.png")
  endif()
  set(ORRINADE_RELEASES "")
  if(release)
    set(ORRINADE_RELEASES "  <releases>\n    ${release}\n  </releases>")
  endif()
  configure_file(packaging/orrinade.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/packaging/${ORRINADE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${ORRINADE_APP_ID}.metainfo.xml
    DESTINATION share/metainfo COMPONENT orrinade)
endif()

set(CPACK_PACKAGE_NAME orrinade)
set(CPACK_PACKAGE_VENDOR "The Orrinade developers")
set(CPACK_PACKAGE_CONTACT "The Orrinade developers <orrinade@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};orrinade;/")
set(CPACK_GENERATOR ZIP)
# cpack reads this as it packs, so that every way of running it gives the
# same bytes: the file times are SOURCE_DATE_EPOCH's (the caller's, else the
# one known at configure time, above), and a zip's DOS times, which are
# local times, those of UTC.
configure_file(packaging/cpack-options.cmake.in ${PROJECT_BINARY_DIR}/cpack-options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-options.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/cpack-sorted-zip.cmake)
include(CPack)
