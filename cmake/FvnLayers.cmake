# Layers of the module (see ARCHITECTURE.md).
#
# Every layer is one static library. Its public headers are exposed through a
# directory of its own in the build tree (build/<preset>/layers/<layer>/...),
# holding links to exactly the headers that the layer lists. A target sees the
# include roots of the layers it links and no others, so a layer that includes
# a header of a layer above it does not compile.

# Compiler options shared by every target of the project.
add_library(fvn_options INTERFACE)
target_compile_options(fvn_options INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
# g++ 12 reports -Wrestrict on std::string concatenation at -O2 and above,
# a known false positive of that compiler version.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(fvn_options INTERFACE -Wno-restrict)
endif()
if(FVN_WERROR)
  target_compile_options(fvn_options INTERFACE -Werror)
endif()
if(FVN_SANITIZE)
  target_compile_options(fvn_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(fvn_options INTERFACE -fsanitize=address,undefined)
endif()
# The fuzz preset: every library is instrumented for libFuzzer's coverage and
# built with the sanitizers; only the fuzz targets link libFuzzer itself.
if(FVN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "FVN_FUZZ needs clang (libFuzzer): configure with the fuzz preset")
  endif()
  target_compile_options(fvn_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(fvn_options INTERFACE -fsanitize=address,undefined)
endif()

# fvn_layer(NAME SOURCES ... HEADERS ... DEPS ... LIBS ...)
#   HEADERS are paths relative to src/ (for example runtime/picture.h);
#   DEPS are the layers below this one; LIBS are outside libraries.
#   A layer without SOURCES is headers only: an interface library that
#   passes its include root and its DEPS on to whoever links it.
function(fvn_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;HEADERS;DEPS;LIBS" ${ARGN})
  set(root "${CMAKE_BINARY_DIR}/layers/${name}")
  file(REMOVE_RECURSE "${root}")
  foreach(header IN LISTS L_HEADERS)
    get_filename_component(dir "${root}/${header}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${header}" "${root}/${header}" SYMBOLIC)
  endforeach()
  if(NOT L_SOURCES)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${root}")
    target_link_libraries(${name} INTERFACE ${L_DEPS} ${L_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC "${root}")
  target_link_libraries(${name} PUBLIC ${L_DEPS} ${L_LIBS} PRIVATE fvn_options)
endfunction()

# fvn_layer_headers(NAME HEADER...): exposes more headers of a layer already
# declared (paths relative to src/), for sources added with target_sources.
function(fvn_layer_headers name)
  set(root "${CMAKE_BINARY_DIR}/layers/${name}")
  foreach(header IN LISTS ARGN)
    get_filename_component(dir "${root}/${header}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${header}" "${root}/${header}" SYMBOLIC)
  endforeach()
endfunction()
