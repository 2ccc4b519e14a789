# Linux installation beyond the programs themselves, and the Debian packages built from it by CPack:
#   marlinq      the programs and Default.xml in lib/marlinq (the folder "beside the program"), with
#                the adb/adb link to Debian's adb, links in bin, a desktop entry, icons, man pages;
#   libtarnwick  the Tarnwick library (versioned, with its link for the linker), its header and
#                tarnwick.pc.
# `cpack -G DEB` in the build folder (scripts/package) makes the .deb files.
set(MARLINQ_ADB_PROGRAM /usr/bin/adb CACHE FILEPATH "The adb program that the installed adb/adb link names")
set(pkg ${CMAKE_BINARY_DIR}/packaging)
set(program_dir_abs ${CMAKE_INSTALL_PREFIX}/${MARLINQ_PROGRAM_DIR})
set(bin_dir_abs ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})

# A symbolic link made in the build folder and installed as it is: relative when it stays within
# the installation's top folder, absolute otherwise.
function(marlinq_install_link name target destination)
  set(from ${CMAKE_INSTALL_PREFIX}/${destination})
  string(REGEX MATCH "^/[^/]*" from_top "${from}")
  string(REGEX MATCH "^/[^/]*" target_top "${target}")
  if(from_top STREQUAL target_top)
    file(RELATIVE_PATH target ${from} ${target})
  endif()
  file(MAKE_DIRECTORY ${pkg}/links/${destination})
  file(CREATE_LINK ${target} ${pkg}/links/${destination}/${name} SYMBOLIC)
  install(FILES ${pkg}/links/${destination}/${name} DESTINATION ${destination} COMPONENT marlinq)
endfunction()

set(programs marlinq-cli dtusim)
if(TARGET marlinq)
  list(PREPEND programs marlinq)
endif()
foreach(program ${programs})
  marlinq_install_link(${program} ${program_dir_abs}/${program} ${CMAKE_INSTALL_BINDIR})
endforeach()
marlinq_install_link(adb ${MARLINQ_ADB_PROGRAM} ${MARLINQ_PROGRAM_DIR}/adb)

# Man pages from the programs' own --help.
find_program(MARLINQ_GZIP gzip REQUIRED)
set(summary_marlinq "configure a 4G cellular DTU module over its AT Port (window)")
set(summary_marlinq-cli "configure a 4G cellular DTU module over its AT Port (command line)")
set(summary_dtusim "a simulated DTU module on a pseudo-terminal")
set(pages)
foreach(program ${programs})
  set(others ${programs})
  list(REMOVE_ITEM others ${program})
  list(JOIN others "," others)
  set(page ${pkg}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
            "-DSUMMARY=${summary_${program}}" -DVERSION=${PROJECT_VERSION} "-DSEE_ALSO=${others}"
            -DOUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    COMMAND ${MARLINQ_GZIP} -9nf ${page}
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    COMMENT "Man page of ${program}"
    VERBATIM)
  list(APPEND pages ${page}.gz)
endforeach()
add_custom_target(manpages ALL DEPENDS ${pages})
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT marlinq)

# The window in the desktop's menu.
if(TARGET marlinq)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/marlinq.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT marlinq)
  foreach(size 16 32 48)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/marlinq-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME marlinq.png
            COMPONENT marlinq)
  endforeach()
endif()

# The HTML manual, when this tree builds it (built with the man pages, so that it is there to
# install).
if(TARGET manual)
  add_dependencies(manpages manual)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/manual DESTINATION ${MARLINQ_PROGRAM_DIR} COMPONENT marlinq)
endif()

# Copyright and change log of each package.
foreach(package marlinq libtarnwick)
  set(PACKAGE ${package})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${pkg}/doc/${package}/changelog @ONLY)
  add_custom_command(OUTPUT ${pkg}/doc/${package}/changelog.gz
    COMMAND ${MARLINQ_GZIP} -9nkf ${pkg}/doc/${package}/changelog
    DEPENDS ${pkg}/doc/${package}/changelog)
  add_custom_target(changelog-${package} ALL DEPENDS ${pkg}/doc/${package}/changelog.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${pkg}/doc/${package}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endforeach()

# CPack: two Debian packages.
set(CPACK_PACKAGE_NAME marlinq)
set(CPACK_PACKAGE_VENDOR "The Marlinq developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Marlinq developers <dev@marlinq.example>")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL marlinq libtarnwick)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEBIAN_MARLINQ_PACKAGE_NAME marlinq)
set(CPACK_DEBIAN_MARLINQ_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_MARLINQ_PACKAGE_RECOMMENDS adb)
# Loaded when a shared database is named rather than linked, so the library scan does not see it.
set(CPACK_DEBIAN_MARLINQ_PACKAGE_DEPENDS libpq5)
set(CPACK_COMPONENT_MARLINQ_DESCRIPTION
    "configuration tool for 4G cellular data-terminal units\n\
Marlinq finds a DTU module's AT Port, reads and writes its parameters as AT\n\
commands, keeps them in parameter files and logs every exchange. The package\n\
holds the window (marlinq), the command line (marlinq-cli) and a module\n\
simulator (dtusim).")

set(CPACK_DEBIAN_LIBTARNWICK_PACKAGE_NAME libtarnwick)
set(CPACK_DEBIAN_LIBTARNWICK_PACKAGE_SECTION libs)
# The library's shlibs entry, and the ldconfig trigger that refreshes the loader's cache.
file(WRITE ${pkg}/control/libtarnwick/shlibs "libtarnwick 0 libtarnwick (>= ${PROJECT_VERSION})\n")
file(WRITE ${pkg}/control/libtarnwick/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIBTARNWICK_PACKAGE_CONTROL_EXTRA ${pkg}/control/libtarnwick/shlibs
                                                   ${pkg}/control/libtarnwick/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_LIBTARNWICK_DESCRIPTION
    "raw sector access to a DTU module's eMMC\n\
Tarnwick gives a host program raw sector access to a module's eMMC when the\n\
module presents it as a USB mass-storage disk, through SCSI pass-through.\n\
The package holds the library, its header and its pkg-config file.")
include(CPack)
