# Sources of preprocessed x86 and x86-64 assembly, built by the C compiler driver (the later -x
# wins over CMake's -x c). Marks apply to the directory that calls.
#
#   mark_machine_code(<source>...)
#   machine_code_for_target(<variable> <x86 source> <x86-64 source>): the one for this build's
#       pointer width, marked, in <variable>.
include_guard(GLOBAL)

function(mark_machine_code)
  set_source_files_properties(${ARGN} PROPERTIES LANGUAGE C COMPILE_OPTIONS "-x;assembler-with-cpp")
endfunction()

function(machine_code_for_target variable x86_source x64_source)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(chosen ${x64_source})
  else()
    set(chosen ${x86_source})
  endif()
  mark_machine_code(${chosen})
  set(${variable} ${chosen} PARENT_SCOPE)
endfunction()
