# How the Windows executables are compiled and linked for players: small and reproducible.
# Included by the top-level CMakeLists.txt before any target, so every target of the build (the
# program, its tests, GoogleTest) gets the same flags and the tests run what players run.
if(NOT WIN32)
  return()
endif()

# Optimise for size: the tool does little work per click, and its start-up and JPEG decoding
# measured the same at -Os as at -O3 (see the README's release section).
foreach(language C CXX)
  string(REGEX REPLACE "(^| )-O[0-9s]( |$)" "\\1-Os\\2" CMAKE_${language}_FLAGS_RELEASE
         "${CMAKE_${language}_FLAGS_RELEASE}")
endforeach()

# Each function and object in a section of its own, so that the linker drops what nothing uses.
# The constant range (runtime/constant_segment.h) survives this: its markers and constants carry
# explicit section names, which GCC never splits, and the linker still sorts the ".rdata$" groups
# by name after dropping the unused ones.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections;-fdata-sections>")
add_link_options(-Wl,--gc-sections)

# Same source, same bytes. No link time stamp in the PE header, no compiler identification
# string per object, and no folder of the machine that built it: the source and build folders
# are rewritten to fixed names wherever the compiler records a file name (__FILE__, debug
# information). The build folder is named last because it may lie inside the source folder
# and GCC applies the last matching map.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fno-ident;-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=;-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/>")
add_link_options(-Wl,--no-insert-timestamp)
