# One static library per layer. Headers are included as "folder/File.h" from the source root, and the
# ui_*.h headers that AUTOUIC makes from a layer's forms are exported with it, since its public headers
# include them (the forms are base classes of the windows).
function(tavelin_layer target)
  add_library(${target} STATIC ${ARGN})
  set_target_properties(${target} PROPERTIES AUTOGEN_BUILD_DIR ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen)
  target_include_directories(${target} PUBLIC
    ${PROJECT_SOURCE_DIR}
    $<BUILD_INTERFACE:$<TARGET_PROPERTY:${target},AUTOGEN_BUILD_DIR>/include>)
endfunction()
