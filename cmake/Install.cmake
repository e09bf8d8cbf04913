# cmake --install: the two programs, the desktop entry, the icons, the AppStream metainfo and the man
# pages, in the freedesktop and Debian places under the prefix (GNUInstallDirs). Two components:
# "program" (everything above) and "demo" (a demo catalogue in <datadir>/tavelin, drawn at install
# time), so a package can ship them apart.
include(GNUInstallDirs)

set(TAVELIN_APP_ID org.tavelin.Tavelin)
set(TAVELIN_DIST_DIR ${CMAKE_CURRENT_LIST_DIR}/../dist)
set(TAVELIN_ICON_DIR ${CMAKE_CURRENT_LIST_DIR}/../resources/icons)

# tavelin-catalog --version names the version the program is installed as.
target_compile_definitions(tavelin-catalog PRIVATE TAVELIN_VERSION="${PROJECT_VERSION}")

install(TARGETS tavelin tavelin-catalog RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)

install(FILES ${TAVELIN_DIST_DIR}/${TAVELIN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
install(FILES ${TAVELIN_DIST_DIR}/${TAVELIN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)

# The program's icon at the hicolor theme's sizes, drawn from the program's own artwork
# (tavelin-artwork), under the application id.
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${TAVELIN_ICON_DIR}/tavelin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TAVELIN_APP_ID}.png COMPONENT program)
endforeach()
install(FILES ${TAVELIN_ICON_DIR}/tavelin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TAVELIN_APP_ID}.svg COMPONENT program)

# Man pages: the version and the date of the newest release in the metainfo filled in, then
# compressed as Debian installs them (gzip -n: no name or time stamp, so builds are reproducible).
file(READ ${TAVELIN_DIST_DIR}/${TAVELIN_APP_ID}.metainfo.xml TAVELIN_METAINFO)
string(REGEX MATCH "<release version=\"[^\"]*\" date=\"([0-9-]+)\"" _release "${TAVELIN_METAINFO}")
set(TAVELIN_MAN_DATE ${CMAKE_MATCH_1})
set(TAVELIN_MAN_PAGES)
foreach(page tavelin tavelin-catalog)
  configure_file(${TAVELIN_DIST_DIR}/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                     COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/man/${page}.1 > ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                     DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
                     COMMENT "Compressing the man page ${page}(1)")
  list(APPEND TAVELIN_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(tavelin-man-pages ALL DEPENDS ${TAVELIN_MAN_PAGES})
install(FILES ${TAVELIN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

# The demo catalogue, drawn by the catalogue tool straight into the install tree (a minute's work,
# so not part of every build). An existing file is kept.
install(CODE "
  set(_demo \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/tavelin/KVRJetLib.mdb\")
  if(EXISTS \"\${_demo}\")
    message(STATUS \"Up-to-date: \${_demo}\")
  else()
    message(STATUS \"Drawing the demo catalogue: \${_demo}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/tavelin\")
    execute_process(COMMAND \"\${CMAKE_COMMAND}\" -E env QT_QPA_PLATFORM=offscreen
                            \"$<TARGET_FILE:tavelin-catalog>\" demo \"\${_demo}\"
                    RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR \"tavelin-catalog demo failed: \${_result}\")
    endif()
  endif()
" COMPONENT demo)
