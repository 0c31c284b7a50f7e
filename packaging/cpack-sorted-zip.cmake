# Run by cpack once it has packed (CPACK_POST_BUILD_SCRIPTS): each zip made
# again from its staged files in name order, as cpack adds them in the order
# the file system lists them. The file times stay SOURCE_DATE_EPOCH's, in UTC
# (packaging/cpack-options.cmake.in).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.zip$")
    continue()
  endif()
  get_filename_component(parent "${package}" DIRECTORY)
  string(REGEX REPLACE "\\.zip$" "" top "${package}")
  get_filename_component(top "${top}" NAME)
  if(NOT IS_DIRECTORY "${parent}/${top}")
    message(FATAL_ERROR "cpack-sorted-zip: no staged files in ${parent}/${top}")
  endif()
  file(GLOB_RECURSE entries RELATIVE "${parent}" "${parent}/${top}/*")
  list(SORT entries)
  string(REPLACE ";" "\n" list "${entries}")
  file(WRITE "${parent}/${top}.entries" "${list}\n")
  file(REMOVE "${package}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${package}" --format=zip
      "--files-from=${parent}/${top}.entries"
    WORKING_DIRECTORY "${parent}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cpack-sorted-zip: ${package} could not be made again")
  endif()
endforeach()
