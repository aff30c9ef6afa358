# How the Windows executables are compiled and linked for players: small and reproducible.
# Included by the top-level CMakeLists.txt before any target, so every target of the build (the
# program, its tests, GoogleTest) gets the same flags and the tests run what players run; the
# program's own code adds PROGRAM_COMPILE_OPTIONS.
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

# The program throws and catches no C++ exception (an allocation that fails ends it either way,
# see app/lean_cxx_runtime.cpp), so its own code is compiled without exception support. On
# 32-bit x86 it then needs no unwind tables either: only C++ exceptions read them there, while
# Windows unwinds its structured exceptions along the stack's handler chain. (64-bit Windows
# unwinds every exception by the tables, so they stay.) Together about 60 KB of the 32-bit file.
set(PROGRAM_COMPILE_OPTIONS "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND PROGRAM_COMPILE_OPTIONS "$<$<COMPILE_LANGUAGE:C,CXX>:-fno-asynchronous-unwind-tables>")
endif()

# Same source, same bytes. No link time stamp in the PE header, no compiler identification
# string per object, and no folder of the machine that built it: the source and build folders
# are rewritten to fixed names wherever the compiler records a file name (__FILE__, debug
# information). The build folder is named last because it may lie inside the source folder
# and GCC applies the last matching map.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fno-ident;-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=;-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/>")
add_link_options(-Wl,--no-insert-timestamp)
