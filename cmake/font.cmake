# The editor reads "segoeui.ttf" from its working directory; any TrueType
# font serves, so a free one is placed beside the executable under that name.
find_file(ORRINADE_FONT DejaVuSans.ttf
  PATHS /usr/share/fonts/truetype/dejavu
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT ORRINADE_FONT)
  message(FATAL_ERROR "DejaVuSans.ttf not found: install fonts-dejavu-core")
endif()
