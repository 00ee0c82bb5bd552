# SPDX-License-Identifier: GPL-3.0-or-later
# The installed layout: programs in bin/, their data in share/edlt/ (found there relative to
# the executable), the desktop entry, AppStream metainfo, the file type, icons, man pages and
# completion. Three install components, one Debian package each (cmake/Package.cmake):
# cli (edlt-cli), window (edlt) and data (edlt-data).
include(GNUInstallDirs)

set(EDLT_APP_ID org.edltapp.edlt)
set(EDLT_MIME_TYPE application/x-edlt-declaration)
set(EDLT_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(EDLT_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(EDLT_DEBIAN_REVISION 1)
set(EDLT_MAINTAINER "e-ΔΛΤ maintainers <maintainers@edlt.invalid>")
set(EDLT_HOMEPAGE "https://edlt.invalid/")
find_program(GZIP_EXECUTABLE gzip REQUIRED)
find_program(OBJCOPY_EXECUTABLE NAMES objcopy ${CMAKE_OBJCOPY} REQUIRED)

# Each package's copyright file and the Debian changelog of their source, edlt; the
# changelog's trailers carry the release date, with its weekday worked out here (Zeller's
# congruence). The one package before the split was made the same day.
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ ${EDLT_RELEASE_DATE})
set(_y ${CMAKE_MATCH_1})
set(_day ${CMAKE_MATCH_3})
math(EXPR _m "${CMAKE_MATCH_2}")
math(EXPR _d "${CMAKE_MATCH_3}")
if(_m LESS 3)
  math(EXPR _zm "${_m} + 12")
  math(EXPR _zy "${_y} - 1")
else()
  set(_zm ${_m})
  set(_zy ${_y})
endif()
math(EXPR _weekday "(${_d} + (13 * (${_zm} + 1)) / 5 + ${_zy} % 100 + (${_zy} % 100) / 4 + (${_zy} / 100) / 4 + 5 * (${_zy} / 100)) % 7")
set(_weekdays Sat Sun Mon Tue Wed Thu Fri)
list(GET _weekdays ${_weekday} _weekday_name)
math(EXPR _month_index "${_m} - 1")
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET _months ${_month_index} _month_name)
set(EDLT_CHANGELOG_DATE "${_weekday_name}, ${_day} ${_month_name} ${_y} 12:00:00 +0000")
set(EDLT_FIRST_PACKAGE_DATE "${_weekday_name}, ${_day} ${_month_name} ${_y} 08:00:00 +0000")
set(EDLT_CHANGELOG ${EDLT_GENERATED_DIR}/changelog.Debian)
configure_file(${EDLT_PACKAGING_DIR}/changelog.Debian.in ${EDLT_CHANGELOG} @ONLY)
add_custom_command(OUTPUT ${EDLT_CHANGELOG}.gz
  COMMAND ${GZIP_EXECUTABLE} -9nc ${EDLT_CHANGELOG} > ${EDLT_CHANGELOG}.gz
  DEPENDS ${EDLT_CHANGELOG} VERBATIM)
set(_packages edlt-cli edlt edlt-data)
set(_components cli window data)
foreach(package component IN ZIP_LISTS _packages _components)
  install(FILES ${EDLT_CHANGELOG}.gz ${EDLT_PACKAGING_DIR}/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# Man pages, compressed as Debian keeps them: English in man1, Greek in el/man1 (man shows
# those under a Greek locale). The date is the release's.
set(EDLT_MAN_PAGES)
foreach(page edlt edlt-cli)
  foreach(language en el)
    if(language STREQUAL en)
      set(source ${EDLT_PACKAGING_DIR}/${page}.1.en.in)
      set(folder man1)
    else()
      set(source ${EDLT_PACKAGING_DIR}/${page}.1.in)
      set(folder el/man1)
    endif()
    set(out ${EDLT_GENERATED_DIR}/man/${folder}/${page}.1)
    configure_file(${source} ${out} @ONLY)
    add_custom_command(OUTPUT ${out}.gz
      COMMAND ${GZIP_EXECUTABLE} -9nc ${out} > ${out}.gz
      DEPENDS ${out} VERBATIM)
    list(APPEND EDLT_MAN_PAGES ${out}.gz)
    if(page STREQUAL edlt)
      set(component window)
    else()
      set(component cli)
    endif()
    install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${folder} COMPONENT ${component})
  endforeach()
endforeach()
add_custom_target(edlt_man ALL DEPENDS ${EDLT_MAN_PAGES} ${EDLT_CHANGELOG}.gz)

# Programs without the compiler's .comment notes (strip keeps them). Run from the build
# tree, the programs find their data beside them.
function(edlt_install_program target component)
  add_dependencies(${target} edlt_data)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
  install(CODE "execute_process(COMMAND ${OBJCOPY_EXECUTABLE} --remove-section=.comment
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>\"
                  COMMAND_ERROR_IS_FATAL ANY)"
          COMPONENT ${component})
endfunction()

# The command line.
edlt_install_program(edlt-cli cli)
install(FILES ${EDLT_PACKAGING_DIR}/edlt-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME edlt-cli COMPONENT cli)

# The data both programs read, and the pictures of the menu entry and of the file type.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/Addon ${PROJECT_SOURCE_DIR}/data/Help ${PROJECT_SOURCE_DIR}/data/icons
                  ${PROJECT_SOURCE_DIR}/data/screenshots
        DESTINATION ${CMAKE_INSTALL_DATADIR}/edlt COMPONENT data)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/edlt.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${EDLT_APP_ID}.svg COMPONENT data)
string(REPLACE "/" "-" EDLT_MIME_ICON ${EDLT_MIME_TYPE})
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${EDLT_MIME_ICON}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes COMPONENT data)

# The window program: its menu entry, AppStream metainfo, the declaration file type it opens,
# completion.
if(EDLT_GUI)
  edlt_install_program(edlt window)
  install(FILES ${PROJECT_BINARY_DIR}/translations/qt_el.qm DESTINATION ${CMAKE_INSTALL_DATADIR}/edlt/translations
          COMPONENT data)
  # The screenshots' sizes for the metainfo, from their PNG headers.
  set(_shot_keys MAIN PAGE)
  set(_shot_names main-window first-page)
  foreach(key shot IN ZIP_LISTS _shot_keys _shot_names)
    file(READ ${PROJECT_SOURCE_DIR}/data/screenshots/${shot}.png header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING ${header} 0 8 width)
    string(SUBSTRING ${header} 8 8 height)
    math(EXPR EDLT_SCREENSHOT_${key}_WIDTH "0x${width}")
    math(EXPR EDLT_SCREENSHOT_${key}_HEIGHT "0x${height}")
  endforeach()
  configure_file(${EDLT_PACKAGING_DIR}/${EDLT_APP_ID}.metainfo.xml.in
                 ${EDLT_GENERATED_DIR}/${EDLT_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${EDLT_PACKAGING_DIR}/${EDLT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT window)
  install(FILES ${EDLT_GENERATED_DIR}/${EDLT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          COMPONENT window)
  install(FILES ${EDLT_PACKAGING_DIR}/edlt.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME edlt.xml COMPONENT window)
  install(FILES ${EDLT_PACKAGING_DIR}/edlt.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME edlt COMPONENT window)
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
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${EDLT_APP_ID}.png
            COMPONENT data)
  endforeach()
endif()
