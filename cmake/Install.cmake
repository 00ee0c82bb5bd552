# The installed layout: programs in bin/, their data in share/edlt/ (found there relative to
# the executable), the desktop entry, AppStream metainfo, icons, man pages and completion.
include(GNUInstallDirs)

set(EDLT_APP_ID org.edltapp.Edlt)
set(EDLT_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(EDLT_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
# The date of this version's release, for the AppStream releases list.
set(EDLT_RELEASE_DATE 2026-12-08)

# Run from the build tree, the programs find their data beside them.
add_dependencies(edlt-cli edlt_data)
install(TARGETS edlt-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/Addon ${PROJECT_SOURCE_DIR}/data/Help ${PROJECT_SOURCE_DIR}/data/icons
        DESTINATION ${CMAKE_INSTALL_DATADIR}/edlt)

configure_file(${EDLT_PACKAGING_DIR}/${EDLT_APP_ID}.metainfo.xml.in
               ${EDLT_GENERATED_DIR}/${EDLT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${EDLT_PACKAGING_DIR}/${EDLT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${EDLT_GENERATED_DIR}/${EDLT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${EDLT_PACKAGING_DIR}/edlt-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME edlt-cli)

# Man pages go in compressed, as Debian keeps them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(EDLT_MAN_PAGES)
foreach(page edlt.1 edlt-cli.1)
  configure_file(${EDLT_PACKAGING_DIR}/${page}.in ${EDLT_GENERATED_DIR}/${page} @ONLY)
  add_custom_command(OUTPUT ${EDLT_GENERATED_DIR}/${page}.gz
    COMMAND ${GZIP_EXECUTABLE} -9nf ${EDLT_GENERATED_DIR}/${page} -c > ${EDLT_GENERATED_DIR}/${page}.gz
    DEPENDS ${EDLT_GENERATED_DIR}/${page} VERBATIM)
  list(APPEND EDLT_MAN_PAGES ${EDLT_GENERATED_DIR}/${page}.gz)
endforeach()
add_custom_target(edlt_man ALL DEPENDS ${EDLT_MAN_PAGES})
install(FILES ${EDLT_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/data/icons/edlt.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${EDLT_APP_ID}.svg)
if(EDLT_GUI)
  add_dependencies(edlt edlt_data)
  install(TARGETS edlt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/translations/qt_el.qm DESTINATION ${CMAKE_INSTALL_DATADIR}/edlt/translations)
  # The fixed sizes are drawn by the program's own icon code, which simplifies below 32 pixels.
  set(EDLT_ICON_SIZES 16 24 32 48 64 128 256)
  set(EDLT_ICON_FILES)
  foreach(size ${EDLT_ICON_SIZES})
    list(APPEND EDLT_ICON_FILES ${EDLT_GENERATED_DIR}/icons/${size}.png)
  endforeach()
  add_executable(edlt_make_icons ${CMAKE_CURRENT_LIST_DIR}/MakeIcons.cpp)
  target_link_libraries(edlt_make_icons PRIVATE edlt_ui)
  add_custom_command(OUTPUT ${EDLT_ICON_FILES}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:edlt_make_icons> ${EDLT_GENERATED_DIR}/icons ${EDLT_ICON_SIZES}
    DEPENDS edlt_make_icons VERBATIM)
  add_custom_target(edlt_icons ALL DEPENDS ${EDLT_ICON_FILES})
  foreach(size ${EDLT_ICON_SIZES})
    install(FILES ${EDLT_GENERATED_DIR}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${EDLT_APP_ID}.png)
  endforeach()
endif()
