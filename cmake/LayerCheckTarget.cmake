# Runs cmake/LayerCheck.cmake as part of the default build, again whenever a source file of a layer
# changes or one is added: an include against the layer order fails the build.
set(TAVELIN_WIDGETS_INCLUDE_DIR "")
get_target_property(_tavelin_widgets_dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
foreach(_dir IN LISTS _tavelin_widgets_dirs)
  if(_dir MATCHES "/QtWidgets$")
    set(TAVELIN_WIDGETS_INCLUDE_DIR "${_dir}")
  endif()
endforeach()

file(GLOB _tavelin_children LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/*")
set(TAVELIN_CHECKED_SOURCES "")
foreach(_child IN LISTS _tavelin_children)
  get_filename_component(_name "${_child}" NAME)
  if(NOT IS_DIRECTORY "${_child}" OR EXISTS "${_child}/CMakeCache.txt" OR _name MATCHES "^(\\.|tests$|bench$)")
    continue()
  endif()
  file(GLOB_RECURSE _found CONFIGURE_DEPENDS "${_child}/*.h" "${_child}/*.cpp" "${_child}/*.c")
  list(APPEND TAVELIN_CHECKED_SOURCES ${_found})
endforeach()

add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/layer-check.stamp
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DWIDGETS_INCLUDE_DIR=${TAVELIN_WIDGETS_INCLUDE_DIR}
          -P ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${PROJECT_BINARY_DIR}/layer-check.stamp
  DEPENDS ${TAVELIN_CHECKED_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cmake
  COMMENT "Checking the includes against the layer order"
  VERBATIM)
add_custom_target(tavelin_layer_check ALL DEPENDS ${PROJECT_BINARY_DIR}/layer-check.stamp)
