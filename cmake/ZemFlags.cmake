# Compiler flags shared by the library, its tests and benchmarks.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS ON)
set(CMAKE_C_STANDARD 11)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
# Rebuilds of the same sources (three presets, several work trees) come from
# the compiler cache when the machine has one.
find_program(ZEM_CCACHE ccache)
if(ZEM_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${ZEM_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${ZEM_CCACHE})
endif()
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

# NaN, infinities and signed zeros are part of the contract, and the
# processor tier has no fused multiply-add: no fast-math, no contraction.
set(ZEM_COMMON_FLAGS -ffp-contract=off -fno-fast-math -fno-strict-aliasing -Wall -Wextra)
set(ZEM_LIB_FLAGS ${ZEM_COMMON_FLAGS}
  $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>)

if(ZEM_FUZZ)
  # Coverage for the fuzzer in every object; the fuzz targets add its main.
  # Calls through the targets' generic function pointers are intended.
  set(ZEM_SAN_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=function,vptr
      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${ZEM_SAN_FLAGS})
  add_link_options(-fsanitize=address,undefined)
elseif(ZEM_TSAN)
  # The race detector needs an OpenMP runtime whose synchronisation it can
  # see: the compiler's libgomp is not instrumented, so its barriers and
  # task hand-offs are invisible to ThreadSanitizer and every parallel
  # region would be reported. This build uses clang with LLVM's libomp,
  # whose tool interface lets libarcher (libomp-14-dev) tell ThreadSanitizer
  # about every barrier, task and critical section; the tests load it
  # explicitly (OMP_TOOL_LIBRARIES, tests/CMakeLists.txt).
  set(ZEM_SAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${ZEM_SAN_FLAGS})
  add_link_options(${ZEM_SAN_FLAGS})
elseif(ZEM_SANITIZE)
  set(ZEM_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${ZEM_SAN_FLAGS})
  add_link_options(${ZEM_SAN_FLAGS})
endif()
