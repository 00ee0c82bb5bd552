# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages: cpack -G DEB in the build tree gives three, one per install component:
#   edlt-cli   the command line (QtGui for PDF pages, no Qt WebEngine)
#   edlt       the window program, on edlt-cli of the same version and edlt-data
#   edlt-data  the data both read (Addon/, Help/, icons, translations), architecture all
# Their version is project()'s with the Debian revision below; their dependencies are those
# dpkg-shlibdeps finds for the installed programs, the form's font and each other.
# Set SOURCE_DATE_EPOCH (the last commit's time) for packages that do not depend on when
# they were made.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli window data)
set(CPACK_PACKAGE_NAME edlt)
set(CPACK_DEBIAN_PACKAGE_SOURCE edlt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${EDLT_DEBIAN_REVISION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${EDLT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${EDLT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${EDLT_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageFolders.cmake)

set(EDLT_FULL_VERSION "${PROJECT_VERSION}-${EDLT_DEBIAN_REVISION}")
string(CONCAT EDLT_ABOUT
  "e-ΔΛΤ prepares the annual final declaration of tax withheld on salaries and\n"
  "pensions («Οριστική Δήλωση Τέλους Καταστάσεων Αμοιβών») for Greek employers and\n"
  "pension payers: one line per employee and income type, typed or imported from a\n"
  "spreadsheet, checked as it is stored, with current totals, the fixed-width file\n"
  "submitted to the tax administration, and printed reports.\n\n")

# Files of the one package before the split (1.1.0.2) move into edlt-cli and edlt-data.
set(EDLT_SPLIT_FROM "edlt (<< ${EDLT_FULL_VERSION})")
set(CPACK_DEBIAN_CLI_PACKAGE_NAME edlt-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_BREAKS "${EDLT_SPLIT_FROM}")
set(CPACK_DEBIAN_CLI_PACKAGE_REPLACES "${EDLT_SPLIT_FROM}")
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
# The first page asks for Arial: Liberation Sans has its widths and the Greek letters.
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "edlt-data (= ${EDLT_FULL_VERSION}), fonts-liberation")
string(CONCAT CPACK_DEBIAN_CLI_DESCRIPTION
  "final declaration of withheld tax (Greece) - command line\n" "${EDLT_ABOUT}"
  "This package holds edlt-cli, which creates, checks, sorts, imports, totals,\n"
  "prints to HTML or PDF and archives declarations without a window.")

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME edlt)
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS
    "edlt-cli (= ${EDLT_FULL_VERSION}), edlt-data (= ${EDLT_FULL_VERSION}), fonts-liberation")
# xdg-user-dir names the Documents and Desktop folders the dialogs and the shortcut use.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "xdg-user-dirs")
string(CONCAT CPACK_DEBIAN_WINDOW_DESCRIPTION
  "final declaration of withheld tax (Greece) - window program\n" "${EDLT_ABOUT}"
  "This package holds the window program edlt, its menu entry and the\n"
  "declaration file type.")

set(CPACK_DEBIAN_DATA_PACKAGE_NAME edlt-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_PACKAGE_BREAKS "${EDLT_SPLIT_FROM}")
set(CPACK_DEBIAN_DATA_PACKAGE_REPLACES "${EDLT_SPLIT_FROM}")
set(CPACK_DEBIAN_DATA_PACKAGE_SHLIBDEPS OFF)
string(CONCAT CPACK_DEBIAN_DATA_DESCRIPTION
  "final declaration of withheld tax (Greece) - data files\n" "${EDLT_ABOUT}"
  "This package holds the data edlt and edlt-cli read: the income types, the\n"
  "first page's template, the help pages, the icons and the Greek texts of\n"
  "Qt's dialogs.")

include(CPack)
