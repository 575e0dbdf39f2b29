# One interface target carries the build policy; every target of the project links it.
add_library(kivro_policy INTERFACE)
# Shadowing a local is the mistake worth catching; clang spells that warning
# differently and rejects GCC's spelling under -Werror.
target_compile_options(kivro_policy INTERFACE
  -Wall -Wextra -Wpedantic
  $<IF:$<CXX_COMPILER_ID:GNU>,-Wshadow=local,-Wshadow-uncaptured-local>
  -Wnon-virtual-dtor -Wcast-qual
  $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>
  -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations)
target_compile_definitions(kivro_policy INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_USE_QSTRINGBUILDER)
if(KIVRO_WERROR)
  target_compile_options(kivro_policy INTERFACE -Werror)
  # GCC 12 at -O2 reports std::string's own inlined copies ("x" + str) as
  # overlapping (GCC bug 105329): keep the warning, but not as an error.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(kivro_policy INTERFACE -Wno-error=restrict)
  endif()
endif()
if(KIVRO_SANITIZE OR KIVRO_FUZZ)
  target_compile_options(kivro_policy INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(kivro_policy INTERFACE -fsanitize=address,undefined)
endif()
if(KIVRO_FUZZ)
  # Every library the fuzzers link is instrumented for coverage; only the
  # fuzzers themselves link libFuzzer's main (fuzz/CMakeLists.txt).
  target_compile_options(kivro_policy INTERFACE -fsanitize=fuzzer-no-link)
endif()
