# Runs cmake/LayerCheck.cmake on the fixture trees under tests/fixtures/layers (each holding one
# kind of include against the layer order, or none) and on the real source tree, and compares the
# outcome and the file it names with what each case expects.
#   cmake -DSOURCE_DIR=<repo> -DWIDGETS_INCLUDE_DIR=<QtWidgets headers> -P tests/layer_check_cases.cmake

set(fixtures "${SOURCE_DIR}/tests/fixtures/layers")
# tree | expected: pass, or the text the failure must contain
set(cases
  "${SOURCE_DIR}|pass"
  "${fixtures}/allowed|pass"
  "${fixtures}/data_over_frames|data/Query.cpp (layer data) includes \"frames/AtlasFrame.h\""
  "${fixtures}/picture_over_data|picture/Jpeg.h (layer picture) includes \"data/CatalogSchema.h\""
  "${fixtures}/widgets_over_data|widgets/Image.cpp (layer widgets) includes \"data/Store.h\""
  "${fixtures}/art_over_demo|demo/art/Canvas.cpp (layer demo/art) includes \"demo/Plan.h\""
  "${fixtures}/cli_over_frames|cli/Tool.cpp (layer cli) includes \"frames/SearchStatement.h\""
  "${fixtures}/widget_in_platform|platform/Box.cpp (layer platform) includes <QMessageBox>"
  "${fixtures}/widgets_module_in_data|data/Grid.cpp (layer data) includes <QtWidgets/QTableView>"
  "${fixtures}/widget_in_picture|picture/View.h (layer picture) includes <QWidget>"
  "${fixtures}/folder_in_no_layer|gadgets/Gadget.cpp: its folder is in no layer")

set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 tree)
  list(GET fields 1 expected)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -DWIDGETS_INCLUDE_DIR=${WIDGETS_INCLUDE_DIR}
            -P ${SOURCE_DIR}/cmake/LayerCheck.cmake
    RESULT_VARIABLE result
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
  string(REPLACE "\n" " " said "${out}${err}")
  string(REGEX REPLACE " +" " " said "${said}")
  if(expected STREQUAL "pass")
    if(NOT result EQUAL 0)
      list(APPEND failures "${tree}: expected to pass, failed: ${said}")
    endif()
  elseif(result EQUAL 0)
    list(APPEND failures "${tree}: expected to fail, passed")
  else()
    string(FIND "${said}" "${expected}" at)
    if(at EQUAL -1)
      list(APPEND failures "${tree}: failed without naming '${expected}': ${said}")
    endif()
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "layer check: every case as expected")
