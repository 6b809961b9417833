# Finds the core and image processing modules of OpenCV 4 as Debian's
# libopencv-core-dev and libopencv-imgproc-dev install them (those packages ship
# no CMake configuration of their own).
# Defines OpenCVCore_FOUND and the imported targets OpenCV::Core and
# OpenCV::ImgProc (the latter linking the former).

find_path(OpenCVCore_INCLUDE_DIR
  NAMES opencv2/core.hpp
  PATH_SUFFIXES opencv4)
find_library(OpenCVCore_LIBRARY NAMES opencv_core)
find_path(OpenCVCore_IMGPROC_INCLUDE_DIR
  NAMES opencv2/imgproc.hpp
  PATH_SUFFIXES opencv4)
find_library(OpenCVCore_IMGPROC_LIBRARY NAMES opencv_imgproc)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCVCore
  REQUIRED_VARS OpenCVCore_LIBRARY OpenCVCore_INCLUDE_DIR
                OpenCVCore_IMGPROC_LIBRARY OpenCVCore_IMGPROC_INCLUDE_DIR)

if(OpenCVCore_FOUND AND NOT TARGET OpenCV::Core)
  add_library(OpenCV::Core UNKNOWN IMPORTED)
  set_target_properties(OpenCV::Core PROPERTIES
    IMPORTED_LOCATION "${OpenCVCore_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OpenCVCore_INCLUDE_DIR}")
endif()
if(OpenCVCore_FOUND AND NOT TARGET OpenCV::ImgProc)
  add_library(OpenCV::ImgProc UNKNOWN IMPORTED)
  set_target_properties(OpenCV::ImgProc PROPERTIES
    IMPORTED_LOCATION "${OpenCVCore_IMGPROC_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OpenCVCore_IMGPROC_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES OpenCV::Core)
endif()
mark_as_advanced(OpenCVCore_INCLUDE_DIR OpenCVCore_LIBRARY
                 OpenCVCore_IMGPROC_INCLUDE_DIR OpenCVCore_IMGPROC_LIBRARY)
