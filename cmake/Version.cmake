# SPDX-License-Identifier: GPL-3.0-or-later
# The version of project() reaches the code through one generated header.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/EdltVersion.h @ONLY)
target_include_directories(edlt_core PUBLIC ${PROJECT_BINARY_DIR}/generated)
