# The pixel loops are one source of vector code whose width the compiler picks from these flags:
# SSE2 in the 32-bit Windows build (every Windows since 8 requires it, and SSE arithmetic gives the
# geometry the same doubles as the 64-bit build), and on Linux SSE2, or AVX2 where the machine that
# builds, and so runs the tools, tests and benchmarks, has it. An x86 build without AVX2 throughout
# also builds the mixing loops for AVX2 alone (gfx/MixAvx2.cpp), used where the processor has it.
set(SAVER_AVX2_FILE_OPTIONS "")
if(WIN32)
  target_compile_options(saver_options INTERFACE -msse2 -mfpmath=sse)
  set(SAVER_AVX2_FILE_OPTIONS -mavx2)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  set(host_avx2 OFF)
  if(EXISTS /proc/cpuinfo)
    file(STRINGS /proc/cpuinfo avx2_flags REGEX "^flags.* avx2( |$)" LIMIT_COUNT 1)
    if(avx2_flags)
      set(host_avx2 ON)
    endif()
  endif()
  option(SAVER_AVX2 "Vector loops with AVX2 (on when the building machine has it)" ${host_avx2})
  if(SAVER_AVX2)
    target_compile_options(saver_options INTERFACE -mavx2)
    set(SAVER_AVX2_FILE_OPTIONS -DSAVER_BUILD_AVX2)
  else()
    set(SAVER_AVX2_FILE_OPTIONS -mavx2)
  endif()
endif()
