# Warnings are errors in our own code; third-party headers come in as system headers.
add_library(saver_options INTERFACE)
target_include_directories(saver_options INTERFACE ${CMAKE_SOURCE_DIR})
target_compile_options(saver_options INTERFACE -Wall -Wextra -Wpedantic -Werror -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports false overlaps inside std::string concatenation at -O3.
  target_compile_options(saver_options INTERFACE -Wno-restrict)
endif()
if(WIN32)
  # <windows.h> without min/max macros and the rarely used parts; Windows 7 APIs.
  target_compile_definitions(saver_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# saver_library(name SOURCES... DEPS...): a static library of our own code.
function(saver_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC saver_options ${ARG_DEPS})
endfunction()
