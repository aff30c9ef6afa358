# add_window_templates(TARGET DESCRIPTION SYMBOL): generates the window template table of
# DESCRIPTION (JSON, see tools/window_templates/make_templates.py) as a C++ source that defines
# the TemplateProgram SYMBOL, and adds it to TARGET. Files the description names are tracked.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(add_window_templates target description symbol)
  get_filename_component(description "${description}" ABSOLUTE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${out}" "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.bin"
    COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tools/window_templates/make_templates.py" "${description}"
            --root "${CMAKE_SOURCE_DIR}" --symbol ${symbol} --out "${out}"
            --binary "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.bin" --depfile "${out}.d"
    DEPENDS "${description}" "${CMAKE_SOURCE_DIR}/tools/window_templates/make_templates.py"
    DEPFILE "${out}.d"
    COMMENT "Generating window templates ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
