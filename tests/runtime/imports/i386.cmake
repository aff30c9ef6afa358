# The checked call as Linux i386 code, run under qemu-i386-static: the x86 stack check can only
# be seen failing on x86, and 32-bit programs do not run here otherwise. The program is built
# with gcc -m32 -static, with a GoogleTest of its own built the same way.
find_program(QEMU_I386 qemu-i386-static)
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -m32)
set(CMAKE_REQUIRED_LINK_OPTIONS -m32 -static)
check_cxx_source_compiles("int main() { return 0; }" HAVE_STATIC_I386_TOOLCHAIN)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

if(NOT QEMU_I386 OR NOT HAVE_STATIC_I386_TOOLCHAIN)
  message(WARNING "qemu-i386-static or gcc -m32 -static is missing: the x86 checked-call test is left out")
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

set(i386_machine_code ${CMAKE_SOURCE_DIR}/runtime/imports/checked_call_x86.S test_callees_x86.S)
set_source_files_properties(${i386_machine_code} PROPERTIES LANGUAGE C COMPILE_OPTIONS "-x;assembler-with-cpp")
add_executable(checked_call_i386_test
  checked_call_test.cpp
  ${i386_machine_code}
  ${CMAKE_SOURCE_DIR}/runtime/imports/checked_call.cpp
  ${CMAKE_SOURCE_DIR}/runtime/runtime_error.cpp)
target_include_directories(checked_call_i386_test PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(checked_call_i386_test PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK -Wall -Wextra -Wshadow)
target_link_libraries(checked_call_i386_test PRIVATE gtest_i386)
add_test(NAME checked_call_i386_test COMMAND ${QEMU_I386} $<TARGET_FILE:checked_call_i386_test>)
