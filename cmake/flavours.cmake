# Build flavours for finding memory and undefined-behaviour faults. Included
# by the top-level CMakeLists.txt before any target, so the flags reach the
# library, the executable and the tests alike.
#
#   -DVEXLAR_SANITIZE=ON  AddressSanitizer (with LeakSanitizer) and
#                         UndefinedBehaviorSanitizer, GCC or Clang. Any report
#                         ends the process with a failure.
#   -DVEXLAR_FUZZ=ON      The libFuzzer targets of fuzz/ (Clang only): the
#                         library is built with coverage and both sanitizers,
#                         each target links libFuzzer's main.

option(VEXLAR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VEXLAR_FUZZ "Build the libFuzzer targets of fuzz/ (Clang only)" OFF)

# Flags shared by both flavours: stop at the first report, keep frames for
# readable stacks, and let the standard library check its own bounds.
set(VEXLAR_SANITIZER_COMMON_FLAGS
    -fno-sanitize-recover=all
    -fno-omit-frame-pointer
    -D_GLIBCXX_ASSERTIONS)

if(VEXLAR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VEXLAR_FUZZ needs Clang (libFuzzer); configure with "
                        "-DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      ${VEXLAR_SANITIZER_COMMON_FLAGS})
  add_link_options(-fsanitize=address,undefined)
elseif(VEXLAR_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "VEXLAR_SANITIZE needs GCC or Clang")
  endif()
  add_compile_options(-fsanitize=address,undefined ${VEXLAR_SANITIZER_COMMON_FLAGS})
  add_link_options(-fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC's flow analysis sees the sanitizers' checks as uses of values not yet
    # set and warns inside the standard library (<regex>, <functional>).
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()
