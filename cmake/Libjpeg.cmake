# libjpeg for the Windows targets, as scripts/setup builds it: the imported target
# libjpeg::libjpeg from LIBJPEG_ROOT (include/jpeglib.h, lib/libjpeg.a).
if(TARGET libjpeg::libjpeg)
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(libjpeg_triplet x86_64-w64-mingw32)
else()
  set(libjpeg_triplet i686-w64-mingw32)
endif()
set(LIBJPEG_ROOT "${CMAKE_SOURCE_DIR}/build/third_party/libjpeg/${libjpeg_triplet}" CACHE PATH
    "libjpeg built for this Windows target: a folder with include/jpeglib.h and lib/libjpeg.a")
if(NOT EXISTS "${LIBJPEG_ROOT}/include/jpeglib.h" OR NOT EXISTS "${LIBJPEG_ROOT}/lib/libjpeg.a")
  message(FATAL_ERROR "libjpeg for ${libjpeg_triplet} is missing: no include/jpeglib.h and lib/libjpeg.a under "
                      "LIBJPEG_ROOT=${LIBJPEG_ROOT}. Run scripts/setup, which builds it there, or set LIBJPEG_ROOT.")
endif()
add_library(libjpeg::libjpeg STATIC IMPORTED GLOBAL)
set_target_properties(libjpeg::libjpeg PROPERTIES
  IMPORTED_LOCATION "${LIBJPEG_ROOT}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${LIBJPEG_ROOT}/include")
