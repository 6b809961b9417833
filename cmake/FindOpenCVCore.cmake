# Finds the core module of OpenCV 4 as Debian's libopencv-core-dev installs it
# (that package ships no CMake configuration of its own).
# Defines OpenCVCore_FOUND and the imported target OpenCV::Core.

find_path(OpenCVCore_INCLUDE_DIR
  NAMES opencv2/core.hpp
  PATH_SUFFIXES opencv4)
find_library(OpenCVCore_LIBRARY NAMES opencv_core)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCVCore
  REQUIRED_VARS OpenCVCore_LIBRARY OpenCVCore_INCLUDE_DIR)

if(OpenCVCore_FOUND AND NOT TARGET OpenCV::Core)
  add_library(OpenCV::Core UNKNOWN IMPORTED)
  set_target_properties(OpenCV::Core PROPERTIES
    IMPORTED_LOCATION "${OpenCVCore_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OpenCVCore_INCLUDE_DIR}")
endif()
mark_as_advanced(OpenCVCore_INCLUDE_DIR OpenCVCore_LIBRARY)
