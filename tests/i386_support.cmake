# Linux i386 programs run under qemu-i386-static, for tests of x86 machine code: 32-bit programs
# do not run here otherwise. They are built with gcc -m32 -static, with a GoogleTest of their own
# built the same way (target gtest_i386, there only when both tools are).
#   add_i386_test(name SOURCES ...): one such program, one CTest test.
include_guard(GLOBAL)
include(${CMAKE_SOURCE_DIR}/cmake/MachineCode.cmake)

find_program(QEMU_I386 qemu-i386-static)
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -m32)
set(CMAKE_REQUIRED_LINK_OPTIONS -m32 -static)
check_cxx_source_compiles("int main() { return 0; }" HAVE_STATIC_I386_TOOLCHAIN)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

if(NOT QEMU_I386 OR NOT HAVE_STATIC_I386_TOOLCHAIN)
  message(WARNING "qemu-i386-static or gcc -m32 -static is missing: the x86 tests are left out")
  return()
endif()

set(i386_gtest_root /usr/src/googletest)
add_library(gtest_i386 STATIC EXCLUDE_FROM_ALL
  ${i386_gtest_root}/googletest/src/gtest-all.cc
  ${i386_gtest_root}/googlemock/src/gmock-all.cc
  ${i386_gtest_root}/googlemock/src/gmock_main.cc)
target_include_directories(gtest_i386
  PUBLIC ${i386_gtest_root}/googletest/include ${i386_gtest_root}/googlemock/include
  PRIVATE ${i386_gtest_root}/googletest ${i386_gtest_root}/googlemock)
target_compile_options(gtest_i386 PUBLIC -m32 -pthread)
target_link_options(gtest_i386 PUBLIC -m32 -static -pthread)

function(add_i386_test name)
  cmake_parse_arguments(arg "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK -Wall -Wextra -Wshadow)
  target_link_libraries(${name} PRIVATE gtest_i386)
  add_test(NAME ${name} COMMAND ${QEMU_I386} $<TARGET_FILE:${name}>)
endfunction()
