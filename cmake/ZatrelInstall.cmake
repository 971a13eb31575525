# What `cmake --install` puts under the prefix. Every path is relative to the
# prefix, so an installed tree can be moved.
include(CMakePackageConfigHelpers)
set(ZATREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zatrel)

install(TARGETS zatrel EXPORT zatrelTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/toolbox/include/zatrel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# find_package(zatrel) gives zatrel::zatrel.
install(EXPORT zatrelTargets NAMESPACE zatrel:: DESTINATION ${ZATREL_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zatrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zatrelConfig.cmake INSTALL_DESTINATION ${ZATREL_CMAKE_DIR})
# Before 1.0 a minor release may change the interface.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(ZATREL_COMPATIBILITY SameMinorVersion)
else()
  set(ZATREL_COMPATIBILITY SameMajorVersion)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zatrelConfigVersion.cmake
  COMPATIBILITY ${ZATREL_COMPATIBILITY})
install(FILES ${PROJECT_BINARY_DIR}/zatrelConfig.cmake ${PROJECT_BINARY_DIR}/zatrelConfigVersion.cmake
  DESTINATION ${ZATREL_CMAKE_DIR})

# pkg-config finds the prefix from where zatrel.pc lies.
file(RELATIVE_PATH ZATREL_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" ZATREL_PC_TO_PREFIX "${ZATREL_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zatrel.pc.in ${PROJECT_BINARY_DIR}/zatrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zatrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The programs, their man pages, the data files and the example CIFs.
foreach(program cif2str zatrel_cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(DIRECTORY ${PROJECT_BINARY_DIR}/man/man1 DESTINATION ${CMAKE_INSTALL_MANDIR})
foreach(file IN LISTS ZATREL_DATA_FILES)
  if(NOT IS_DIRECTORY ${file})
    install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/zatrel)
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/examples/SrTiO3_P4mmm_X1plus_2modes.cif
  ${PROJECT_SOURCE_DIR}/examples/worked_example.cif DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
