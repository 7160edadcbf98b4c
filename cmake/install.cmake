# Installation: headers, libraries, plug-ins, database, tools, a CMake
# package (find_package(kel CONFIG)) and pkg-config files.
include(CMakePackageConfigHelpers)

install(TARGETS kel0 ckel0 EXPORT kelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The README, the licence it links and the manual keep their relative
# places, so that the links between them work in the installed tree; the
# generated database's banner names docs/database.md.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The benchmarks page links to the figures.
install(FILES ${PROJECT_SOURCE_DIR}/bench/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/bench)

set(KEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
install(EXPORT kelTargets NAMESPACE kel:: DESTINATION ${KEL_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kelConfig.cmake INSTALL_DESTINATION ${KEL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelConfig.cmake ${PROJECT_BINARY_DIR}/kelConfigVersion.cmake
  DESTINATION ${KEL_CMAKE_DIR})

# pkg-config files locate the prefix relative to themselves, so that a tree
# installed with `cmake --install --prefix` elsewhere is found where it is.
function(kel_pc_dir var dir)
  if(IS_ABSOLUTE "${dir}")
    set(${var} "${dir}" PARENT_SCOPE)
  else()
    set(${var} "\${prefix}/${dir}" PARENT_SCOPE)
  endif()
endfunction()
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(KEL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH KEL_PC_UP "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
  string(REGEX REPLACE "/$" "" KEL_PC_UP "${KEL_PC_UP}")
  set(KEL_PC_PREFIX "\${pcfiledir}/${KEL_PC_UP}")
endif()
kel_pc_dir(KEL_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
kel_pc_dir(KEL_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")

# pkg-config: one file per library, naming the library file of this build.
function(kel_install_pkgconfig name libname description)
  if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(libname ${libname}${CMAKE_DEBUG_POSTFIX})
  endif()
  set(KEL_PC_NAME ${name})
  set(KEL_PC_LIB ${libname})
  set(KEL_PC_DESCRIPTION ${description})
  set(KEL_PC_REQUIRES ${ARGN})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kel.pc.in ${PROJECT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
kel_install_pkgconfig(kel0 kel0 "Image file library with run-time format plug-ins")
kel_install_pkgconfig(ckel0 ckel0 "C binding of the kel image file library" kel0)
