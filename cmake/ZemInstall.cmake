# Installation: the library with its soname, the public headers under
# include/zem, a pkg-config file, a CMake package (zem::zem), and the names
# that programs linked against the system BLAS load (libblas.so.3,
# libcblas.so.3) in a folder of our own, lib/zem, so that nothing of the
# system's is ever overwritten. CPack turns the same tree into a Debian
# package whose maintainer scripts offer those links to update-alternatives.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZEM_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/zem)
set(ZEM_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/zem)
set(ZEM_INSTALL_BLASDIR ${CMAKE_INSTALL_LIBDIR}/zem)

set_target_properties(zem_t1 PROPERTIES EXPORT_NAME zem)
install(TARGETS zem_t1 EXPORT zemTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${ZEM_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${ZEM_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h" PATTERN "*.def")

# Standard BLAS names: libblas.so.3 (with the complex functions in the form
# gfortran-built programs call) and a libcblas.so.3 link to it.
install(TARGETS zem_blas_compat LIBRARY DESTINATION ${ZEM_INSTALL_BLASDIR})
install(CODE "
  set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZEM_INSTALL_BLASDIR}\")
  file(CREATE_LINK libblas.so.3 \"\${dir}/libcblas.so.3\" SYMBOLIC)
  message(STATUS \"Installing: \${dir}/libcblas.so.3 -> libblas.so.3\")")

# pkg-config: written at install time, so the prefix is the one installed to
# (cmake --install --prefix, or /usr in the Debian package).
set(ZEM_PREFIX @ZEM_PREFIX@)  # filled in at install time
configure_file(${PROJECT_SOURCE_DIR}/cmake/zem.pc.in ${PROJECT_BINARY_DIR}/zem.pc.in @ONLY)
install(CODE "
  set(ZEM_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(${PROJECT_BINARY_DIR}/zem.pc.in \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/zem.pc\" @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/zem.pc\")")

# CMake package: find_package(zem) gives the imported target zem::zem.
install(EXPORT zemTargets NAMESPACE zem:: DESTINATION ${ZEM_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zemConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zemConfig.cmake INSTALL_DESTINATION ${ZEM_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zemConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zemConfig.cmake ${PROJECT_BINARY_DIR}/zemConfigVersion.cmake
  DESTINATION ${ZEM_INSTALL_CMAKEDIR})

if(CMAKE_CROSSCOMPILING)
  return()
endif()
# Debian package (cpack -G DEB from the build folder). The alternatives
# priority stays below the reference BLAS's (10): installing the package
# changes nothing until the user selects it.
set(ZEM_ALT_PRIORITY 5)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(ZEM_MULTIARCH ${CMAKE_LIBRARY_ARCHITECTURE})
else()
  set(ZEM_MULTIARCH x86_64-linux-gnu)
endif()
# The system's link lives in the multiarch folder; ours in the package's.
set(ZEM_DEB_ALTLINK /usr/lib/${ZEM_MULTIARCH}/libblas.so.3)
set(ZEM_DEB_ALTNAME libblas.so.3-${ZEM_MULTIARCH})
set(ZEM_DEB_TARGET /usr/${ZEM_INSTALL_BLASDIR}/libblas.so.3)
foreach(script postinst prerm)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/${script}.in
    ${PROJECT_BINARY_DIR}/debian/${script} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME libzem-t1)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zem Numerics Library developers <zem@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zem Numerics Library: BLAS, CBLAS and FFTs for x87+SSE processors")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgomp1")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_BINARY_DIR}/debian/postinst ${PROJECT_BINARY_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
