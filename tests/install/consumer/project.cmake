# Copied as CMakeLists.txt next to main.c by install_test.sh (kept under
# another name here so that the test tree does not take it for a test folder).
# A project of a user's, built against an installed tree through the CMake
# package (find_package) or through pkg-config.
cmake_minimum_required(VERSION 3.16)
project(zem_consumer C)
option(USE_PKGCONFIG "find the library through pkg-config" OFF)
add_executable(consumer main.c)
if(USE_PKGCONFIG)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ZEM REQUIRED IMPORTED_TARGET zem)
  target_link_libraries(consumer PRIVATE PkgConfig::ZEM)
else()
  find_package(zem 7 REQUIRED)
  target_link_libraries(consumer PRIVATE zem::zem)
endif()
