# Reads the routine table include/zem_blas.def and writes, into the build
# tree:
#   generated/zem_have.h       ZEM_HAVE_<ROUTINE> defined to Y or N per line,
#                              so that a C form is compiled only when its
#                              Fortran-convention routine exists, and
#                              ZEM_HAS_<ROUTINE> to 1 or 0 for #if
#   generated/cblas_exports.txt  the cblas_ names the library then exports
#                              (from include/zem_cblas.def)
# Editing either table re-runs this at the next build.
set(_blas_def ${PROJECT_SOURCE_DIR}/include/zem_blas.def)
set(_cblas_def ${PROJECT_SOURCE_DIR}/include/zem_cblas.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_blas_def} ${_cblas_def})

file(STRINGS ${_blas_def} _lines REGEX "^ZEM_ROUTINE\\(")
set(_have "/* Generated from include/zem_blas.def: whether each routine exists. */\n")
foreach(_l ${_lines})
  if(_l MATCHES "^ZEM_ROUTINE\\(([YN]), *[A-Z0-9]+, *([A-Z0-9_]+),")
    if(CMAKE_MATCH_1 STREQUAL "Y")
      set(_n 1)
    else()
      set(_n 0)
    endif()
    string(APPEND _have "#define ZEM_HAVE_${CMAKE_MATCH_2} ${CMAKE_MATCH_1}\n#define ZEM_HAS_${CMAKE_MATCH_2} ${_n}\n")
    set(_have_${CMAKE_MATCH_2} ${CMAKE_MATCH_1})
  endif()
endforeach()
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/zem_have.h CONTENT "${_have}" @ONLY)

file(STRINGS ${_cblas_def} _lines REGEX "^ZEM_CBLAS\\(")
set(_names "")
foreach(_l ${_lines})
  if(_l MATCHES "^ZEM_CBLAS\\(([A-Z0-9_]+), *([a-z0-9_]+),")
    if(NOT DEFINED _have_${CMAKE_MATCH_1})
      message(FATAL_ERROR "zem_cblas.def: ${CMAKE_MATCH_1} is not in zem_blas.def")
    endif()
    if(_have_${CMAKE_MATCH_1} STREQUAL "Y")
      list(APPEND _names "cblas_${CMAKE_MATCH_2}")
    endif()
  endif()
endforeach()
list(SORT _names)
list(JOIN _names "\n" _names)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/cblas_exports.txt CONTENT "${_names}\n" @ONLY)
target_include_directories(zem_t1 PRIVATE ${PROJECT_BINARY_DIR}/generated)
