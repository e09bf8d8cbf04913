# Fails when a source file includes a header of a layer it must not reach: the layers link one way
# only, and an include against that order would compile as long as the include path allows it.
#
#   cmake -DSOURCE_DIR=<tree> [-DWIDGETS_INCLUDE_DIR=<QtWidgets headers>] -P cmake/LayerCheck.cmake
#
# A file belongs to the layer of the longest folder below SOURCE_DIR that is named here (demo/art
# before demo; data/sqlite is part of data). Each layer names the layers it may include, as
# "folder/File.h"; a layer always includes itself. Every folder of the tree with C++ sources must
# belong to a layer or be one of the folders above all layers (tests, benchmarks).
#
# Below the user interface no file includes Qt Widgets: the headers of the QtWidgets module (by the
# names found in WIDGETS_INCLUDE_DIR, and any <QtWidgets/...>) are refused outside the layers
# marked as widget layers.
cmake_minimum_required(VERSION 3.25)

set(TAVELIN_LAYERS platform picture data widgets glo viewer frames app demo/art demo jet cli artwork)
set(TAVELIN_LAYER_platform_MAY "")
set(TAVELIN_LAYER_picture_MAY platform)
set(TAVELIN_LAYER_data_MAY picture platform)
set(TAVELIN_LAYER_widgets_MAY picture platform)
set(TAVELIN_LAYER_glo_MAY widgets picture platform)
set(TAVELIN_LAYER_viewer_MAY widgets picture platform)
set(TAVELIN_LAYER_frames_MAY viewer glo widgets data picture platform)
set(TAVELIN_LAYER_app_MAY frames viewer glo widgets data picture platform)
set(TAVELIN_LAYER_demo/art_MAY "")
set(TAVELIN_LAYER_demo_MAY demo/art data picture platform)
set(TAVELIN_LAYER_jet_MAY data picture platform)
set(TAVELIN_LAYER_cli_MAY demo demo/art jet data picture platform)
set(TAVELIN_LAYER_artwork_MAY demo/art picture platform)
# The layers that may use Qt Widgets.
set(TAVELIN_WIDGET_LAYERS widgets glo viewer frames app)
# Above every layer: may include anything.
set(TAVELIN_TOP_FOLDERS tests bench)

if(NOT SOURCE_DIR OR NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "LayerCheck: SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

# The header names of the QtWidgets module (QWidget, qwidget.h, ...).
set(widget_headers "")
if(WIDGETS_INCLUDE_DIR AND IS_DIRECTORY "${WIDGETS_INCLUDE_DIR}")
  file(GLOB widget_headers RELATIVE "${WIDGETS_INCLUDE_DIR}" "${WIDGETS_INCLUDE_DIR}/Q*" "${WIDGETS_INCLUDE_DIR}/q*.h")
endif()
# Without the module's folder, the headers the program's code would reach for first.
list(APPEND widget_headers QWidget QApplication QMessageBox QDialog QLabel QAbstractButton QPushButton QToolButton
     QMainWindow QStyle QAccessibleWidget QLineEdit QMenu QAction QFrame QFileDialog QHeaderView QTableView)
list(REMOVE_DUPLICATES widget_headers)

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.c")

# Build folders inside the tree (build/, build-asan/, ...) hold generated code: not checked.
file(GLOB_RECURSE caches RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/CMakeCache.txt")
set(skipped "")
foreach(cache IN LISTS caches)
  get_filename_component(folder "${cache}" DIRECTORY)
  list(APPEND skipped "${folder}")
endforeach()

set(problems "")
foreach(file IN LISTS sources)
  set(skip OFF)
  foreach(folder IN LISTS skipped)
    if(file MATCHES "^${folder}/")
      set(skip ON)
    endif()
  endforeach()
  string(REGEX MATCH "^[^/]+" top "${file}")
  if(skip OR top IN_LIST TAVELIN_TOP_FOLDERS OR NOT file MATCHES "/")
    continue()
  endif()

  # The layer: the longest named folder the file is under.
  set(layer "")
  foreach(candidate IN LISTS TAVELIN_LAYERS)
    string(LENGTH "${candidate}" candidate_length)
    string(LENGTH "${layer}" layer_length)
    if(file MATCHES "^${candidate}/" AND candidate_length GREATER layer_length)
      set(layer "${candidate}")
    endif()
  endforeach()
  if(layer STREQUAL "")
    list(APPEND problems "${file}: its folder is in no layer (add it to cmake/LayerCheck.cmake)")
    continue()
  endif()
  set(may "${layer}" ${TAVELIN_LAYER_${layer}_MAY})

  file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"" AND header MATCHES "/")
      # "folder/File.h": the longest layer folder it names must be one this layer may include.
      set(target "")
      foreach(candidate IN LISTS TAVELIN_LAYERS)
        string(LENGTH "${candidate}" candidate_length)
        string(LENGTH "${target}" target_length)
        if(header MATCHES "^${candidate}/" AND candidate_length GREATER target_length)
          set(target "${candidate}")
        endif()
      endforeach()
      if(NOT target STREQUAL "" AND NOT target IN_LIST may)
        list(APPEND problems "${file} (layer ${layer}) includes \"${header}\" of the layer ${target}, which it may not reach")
      endif()
    elseif(NOT layer IN_LIST TAVELIN_WIDGET_LAYERS)
      get_filename_component(name "${header}" NAME)
      if(header MATCHES "^QtWidgets(/|$)" OR name IN_LIST widget_headers)
        list(APPEND problems "${file} (layer ${layer}) includes <${header}>: Qt Widgets only from the layer widgets up")
      endif()
    endif()
  endforeach()
endforeach()

if(problems)
  list(LENGTH problems count)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Includes against the layer order (${count}):\n  ${text}\n"
                      "The order is in the top CMakeLists.txt and cmake/LayerCheck.cmake.")
endif()
