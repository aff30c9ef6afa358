# The checked call as Linux i386 code, run under qemu-i386-static: the x86 stack check can only
# be seen failing on x86.
include(${CMAKE_SOURCE_DIR}/tests/i386_support.cmake)
if(NOT TARGET gtest_i386)
  return()
endif()

set(i386_machine_code ${CMAKE_SOURCE_DIR}/runtime/imports/checked_call_x86.S test_callees_x86.S)
mark_machine_code(${i386_machine_code})
add_i386_test(checked_call_i386_test SOURCES
  checked_call_test.cpp
  ${i386_machine_code}
  ${CMAKE_SOURCE_DIR}/runtime/imports/checked_call.cpp
  ${CMAKE_SOURCE_DIR}/runtime/runtime_error.cpp)
