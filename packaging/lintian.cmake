# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack after it has made the package: lintian's findings on each
# package file, shown and kept beside it as NAME.lintian. Every tag is
# shown, informational and pedantic ones too; errors and warnings fail the
# package test, not the packaging, as Debian's own build tools do.
find_program(LINTIAN lintian)
foreach(package ${CPACK_PACKAGE_FILES})
  # cpack checks the package in its staging folder, before it copies it to
  # the package folder, where the findings go.
  get_filename_component(name "${package}" NAME_WLE)
  set(findings "${CPACK_PACKAGE_DIRECTORY}/${name}.lintian")
  set(shown "${CPACK_PACKAGE_DIRECTORY}/${name}.deb")
  if(NOT LINTIAN)
    file(REMOVE "${findings}")
    message(STATUS "lintian is not installed (scripts/install-deps --checks installs it); ${shown} is not checked")
    continue()
  endif()
  execute_process(COMMAND ${LINTIAN} --display-info --pedantic --no-tag-display-limit "${package}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  file(WRITE "${findings}" "${out}")
  string(REGEX MATCHALL "(^|\n)[EW]: " serious "${out}")
  list(LENGTH serious count)
  if(out)
    message(STATUS "lintian on ${shown}:\n${out}")
  endif()
  if(count GREATER 0)
    message(WARNING "lintian: ${count} error(s) or warning(s) on ${shown} (kept in ${findings})")
  elseif(NOT status MATCHES "^[01]$")
    message(WARNING "lintian could not check ${shown}: ${err}")
    file(REMOVE "${findings}")
  else()
    message(STATUS "lintian: no error or warning on ${shown}")
  endif()
endforeach()
