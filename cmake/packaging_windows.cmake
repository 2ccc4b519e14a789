# The Windows packages: an MSI (built with wixl from Debian's msitools) that installs the programs,
# Tarnwick.dll, Default.xml and the help into Program Files\Marlinq with a Start-menu entry and an
# entry in the installed-programs list, and a portable zip of the same files.
#   cmake --build build-win --target msi portable-zip      (both land in build-win/packages)
#
# The help: MARLINQ_HELP_CHM names a help.chm to ship; when empty, the one the manual target of
# this tree builds, if there is such a target; without either the packages ship no help.
set(MARLINQ_HELP_CHM "" CACHE FILEPATH "help.chm to ship in the Windows packages (empty: the manual target's)")
set(pkg ${CMAKE_BINARY_DIR}/packaging)
set(out ${CMAKE_BINARY_DIR}/packages)
set(help_chm ${MARLINQ_HELP_CHM})
set(help_deps)
if(NOT help_chm AND TARGET manual)
  set(help_chm ${CMAKE_BINARY_DIR}/bin/help.chm)
  set(help_deps manual)
endif()

# The shipped files, gathered in packaging/Marlinq: the folder of the zip and the MSI's source
# (wixl takes file names relative to its source file).
set(shipped $<TARGET_FILE:marlinq_win32> $<TARGET_FILE:marlinq-cli> $<TARGET_FILE:tarnwick>
            ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Default.xml)
if(help_chm)
  list(APPEND shipped ${help_chm})
endif()
add_custom_command(OUTPUT ${pkg}/Marlinq.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${pkg}/Marlinq
  COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg}/Marlinq
  COMMAND ${CMAKE_COMMAND} -E copy ${shipped} ${pkg}/Marlinq/
  COMMAND ${CMAKE_COMMAND} -E touch ${pkg}/Marlinq.stamp
  DEPENDS ${shipped} marlinq_win32 marlinq-cli tarnwick ${help_deps}
  COMMENT "Gathering the shipped files in ${pkg}/Marlinq")

# The MSI.
set(MSI_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0)
set(HELP_COMPONENT "")
set(HELP_COMPONENT_REF "")
if(help_chm)
  set(HELP_COMPONENT "          <Component Id=\"Help\" Guid=\"31DEFE95-0275-419D-BAD4-902188CDCCCC\" Win64=\"yes\">
            <File Id=\"HelpChm\" Name=\"help.chm\" Source=\"Marlinq/help.chm\" KeyPath=\"yes\"/>
          </Component>")
  set(HELP_COMPONENT_REF "      <ComponentRef Id=\"Help\"/>")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/marlinq.wxs.in ${pkg}/marlinq.wxs @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/ui/win32/res/marlinq.ico ${pkg}/marlinq.ico COPYONLY)

set(msi ${out}/Marlinq-${PROJECT_VERSION}-win64.msi)
find_program(MARLINQ_WIXL wixl)
if(MARLINQ_WIXL)
  add_custom_command(OUTPUT ${msi}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${MARLINQ_WIXL} -a x64 -o ${msi} marlinq.wxs
    WORKING_DIRECTORY ${pkg}
    DEPENDS ${pkg}/marlinq.wxs ${pkg}/marlinq.ico ${pkg}/Marlinq.stamp
    COMMENT "Windows installer ${msi}")
  add_custom_target(msi DEPENDS ${msi})
endif()

# The portable zip: the folder Marlinq; unpacked where the user may write, the tool keeps its files
# beside itself.
set(zip ${out}/Marlinq-${PROJECT_VERSION}-win64-portable.zip)
add_custom_command(OUTPUT ${zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Marlinq
  WORKING_DIRECTORY ${pkg}
  DEPENDS ${pkg}/Marlinq.stamp
  COMMENT "Portable zip ${zip}")
add_custom_target(portable-zip DEPENDS ${zip})
