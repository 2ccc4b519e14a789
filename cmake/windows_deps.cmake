# Dependencies of the Windows cross build. Debian ships no mingw builds of them, so they are built
# from the sources Debian ships: GoogleTest from the googletest package, pugixml from its source
# package (unpacked by scripts/setup-windows into MARLINQ_PUGIXML_SOURCE).
set(MARLINQ_PUGIXML_SOURCE "${PROJECT_SOURCE_DIR}/.deps/pugixml" CACHE PATH "pugixml source tree")
if(NOT EXISTS ${MARLINQ_PUGIXML_SOURCE}/src/pugixml.cpp)
  message(FATAL_ERROR "pugixml sources not found in ${MARLINQ_PUGIXML_SOURCE}; run scripts/setup-windows")
endif()
add_library(pugixml_static STATIC ${MARLINQ_PUGIXML_SOURCE}/src/pugixml.cpp)
target_include_directories(pugixml_static SYSTEM PUBLIC ${MARLINQ_PUGIXML_SOURCE}/src)
target_compile_options(pugixml_static PRIVATE -w)
add_library(pugixml::pugixml ALIAS pugixml_static)
set(pugixml_FOUND TRUE)

if(MARLINQ_BUILD_TESTS)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
