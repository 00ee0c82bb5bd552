# The Debian package: cpack -G DEB in the build tree. Its version is project()'s, its
# dependencies those dpkg-shlibdeps finds for the installed programs, and the form's font.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME edlt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "e-ΔΛΤ maintainers <maintainers@edlt.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "e-ΔΛΤ maintainers <maintainers@edlt.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "annual final declaration of tax withheld on salaries and pensions (Greece)")
# The long description; the summary above is its synopsis line.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "e-ΔΛΤ prepares the annual final declaration of tax withheld on salaries and\n"
  "pensions («Οριστική Δήλωση Τέλους Καταστάσεων Αμοιβών») for Greek employers and\n"
  "pension payers: one line per employee and income type, typed or imported from a\n"
  "spreadsheet, checked as it is stored, with current totals, the fixed-width file\n"
  "submitted to the tax administration, and printed reports.\n"
  "It holds the window program edlt and the command-line companion edlt-cli.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The first page asks for Arial: Liberation Sans has its widths and the Greek letters.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# xdg-user-dir names the Documents and Desktop folders the dialogs and the shortcut use.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-user-dirs")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
