# The image and compression libraries built once more for the fuzz targets, from the same Debian
# source packages as the cross build (scripts/build-win32-deps.sh fetches and unpacks them into
# .deps/src and stamps the version it built), with the fuzzer's coverage and the sanitizers, so
# that the campaigns reach inside them. Each source tree (or file) is copied into the build tree
# first, so the shared sources are never written to. Defines the targets fuzz::zlib, fuzz::png, fuzz::jpeg,
# fuzz::tiff, fuzz::gif, fuzz::webp, fuzz::lcms2, fuzz::de265 and fuzz::heif.
include(ExternalProject)
include(SaverDebianSources)

set(fuzz_libs ${CMAKE_CURRENT_BINARY_DIR}/libs)
set(fuzz_lib_flags "-O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined")
file(MAKE_DIRECTORY ${fuzz_libs}/include ${fuzz_libs}/lib)
set(fuzz_cmake_args
    -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER} -DCMAKE_C_FLAGS=${fuzz_lib_flags}
    -DCMAKE_C_FLAGS_RELEASE= -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER} -DCMAKE_CXX_FLAGS=${fuzz_lib_flags}
    -DCMAKE_CXX_FLAGS_RELEASE= -DCMAKE_INSTALL_PREFIX=${fuzz_libs} -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON)

# saver_fuzz_library(name package LIBRARY file [ALSO files...] ARGS ... [BUILD target] [INSTALL command...]):
# one library built from its copied tree with its own CMake build; ALSO names further libraries the
# same build installs, which are linked after the first.
function(saver_fuzz_library name package)
  cmake_parse_arguments(ARG "" "LIBRARY;BUILD" "ALSO;ARGS;DEPENDS;INSTALL" ${ARGN})
  saver_debian_source(${package} tree)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/src/${name})
  list(TRANSFORM ARG_ALSO PREPEND ${fuzz_libs}/lib/ OUTPUT_VARIABLE also)
  set(build_command ${CMAKE_COMMAND} --build <BINARY_DIR>)
  if(ARG_BUILD)
    list(APPEND build_command --target ${ARG_BUILD})
  endif()
  if(NOT ARG_INSTALL)
    set(ARG_INSTALL ${CMAKE_COMMAND} --install <BINARY_DIR>)
  endif()
  ExternalProject_Add(fuzz_${name}_build
    DOWNLOAD_COMMAND ${CMAKE_COMMAND} -E rm -rf ${copy} COMMAND ${CMAKE_COMMAND} -E copy_directory ${tree} ${copy}
    SOURCE_DIR ${copy}
    CMAKE_ARGS ${fuzz_cmake_args} ${ARG_ARGS}
    BUILD_COMMAND ${build_command}
    INSTALL_COMMAND ${ARG_INSTALL}
    DEPENDS ${ARG_DEPENDS}
    BUILD_BYPRODUCTS ${fuzz_libs}/lib/${ARG_LIBRARY} ${also}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  add_library(fuzz::${name} STATIC IMPORTED GLOBAL)
  set_target_properties(fuzz::${name} PROPERTIES IMPORTED_LOCATION ${fuzz_libs}/lib/${ARG_LIBRARY}
                        INTERFACE_INCLUDE_DIRECTORIES ${fuzz_libs}/include INTERFACE_LINK_LIBRARIES "${also}")
  add_dependencies(fuzz::${name} fuzz_${name}_build)
endfunction()

set(fuzz_zlib_args -DZLIB_INCLUDE_DIR=${fuzz_libs}/include -DZLIB_LIBRARY=${fuzz_libs}/lib/libz.a)
set(fuzz_jpeg_args -DJPEG_INCLUDE_DIR=${fuzz_libs}/include -DJPEG_LIBRARY=${fuzz_libs}/lib/libjpeg.a)
separate_arguments(fuzz_direct_flags UNIX_COMMAND "${fuzz_lib_flags} -w")

# saver_fuzz_direct(name tree SOURCES files HEADERS files PUBLIC files): a library without a build
# system of use here, compiled from its copied files straight into the prefix, its PUBLIC headers
# with it.
function(saver_fuzz_direct name tree)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;PUBLIC;DEFINES" ${ARGN})
  set(files)
  foreach(source ${ARG_SOURCES} ${ARG_HEADERS} ${ARG_PUBLIC})
    configure_file(${tree}/${source} ${CMAKE_CURRENT_BINARY_DIR}/src/${name}/${source} COPYONLY)
    if(source MATCHES "\\.c$")
      list(APPEND files ${CMAKE_CURRENT_BINARY_DIR}/src/${name}/${source})
    endif()
  endforeach()
  foreach(header ${ARG_PUBLIC})
    configure_file(${tree}/${header} ${fuzz_libs}/include/${header} COPYONLY)
  endforeach()
  add_library(fuzz_${name} STATIC ${files})
  target_include_directories(fuzz_${name} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/src/${name})
  target_compile_options(fuzz_${name} PRIVATE ${fuzz_direct_flags})
  target_compile_definitions(fuzz_${name} PRIVATE ${ARG_DEFINES})
  set_target_properties(fuzz_${name} PROPERTIES OUTPUT_NAME ${name} ARCHIVE_OUTPUT_DIRECTORY ${fuzz_libs}/lib)
  add_library(fuzz::${name} ALIAS fuzz_${name})
endfunction()

# zlib: its library sources are the C files at the top of its tree. The cross build's configure
# renamed the tree's zconf.h to zconf.h.included; either is the header.
saver_debian_source(zlib zlib_tree)
file(GLOB zlib_sources RELATIVE ${zlib_tree} ${zlib_tree}/*.c)
set(zconf ${zlib_tree}/zconf.h)
if(NOT EXISTS ${zconf})
  set(zconf ${zlib_tree}/zconf.h.included)
endif()
configure_file(${zconf} ${fuzz_libs}/include/zconf.h COPYONLY)
configure_file(${zconf} ${CMAKE_CURRENT_BINARY_DIR}/src/z/zconf.h COPYONLY)
saver_fuzz_direct(z ${zlib_tree} SOURCES ${zlib_sources} PUBLIC zlib.h
  HEADERS zutil.h deflate.h inflate.h inftrees.h inffast.h inffixed.h trees.h crc32.h gzguts.h
  DEFINES HAVE_UNISTD_H _LARGEFILE64_SOURCE=1)
add_library(fuzz::zlib ALIAS fuzz_z)

saver_fuzz_library(png libpng1.6 LIBRARY libpng16.a DEPENDS fuzz_z
  ARGS -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF
       ${fuzz_zlib_args})
# Without SIMD every decoding step is C that the instrumentation sees.
saver_fuzz_library(jpeg libjpeg-turbo LIBRARY libjpeg.a BUILD jpeg-static
  ARGS -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JAVA=OFF
  INSTALL ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a ${fuzz_libs}/lib/
  COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/jpeglib.h <SOURCE_DIR>/jerror.h <SOURCE_DIR>/jmorecfg.h
          <BINARY_DIR>/jconfig.h ${fuzz_libs}/include/)
# The codecs of the cross build: zlib and both JPEG codecs, nothing else.
saver_fuzz_library(tiff tiff LIBRARY libtiff.a DEPENDS fuzz_z fuzz_jpeg_build
  ARGS -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dtiff-opengl=OFF -Dcxx=OFF -Dsphinx=OFF
       -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF -Dlibdeflate=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF
       -Dlerc=OFF ${fuzz_zlib_args} ${fuzz_jpeg_args})
set_property(TARGET fuzz::png APPEND PROPERTY INTERFACE_LINK_LIBRARIES fuzz_z m)
set_property(TARGET fuzz::tiff APPEND PROPERTY INTERFACE_LINK_LIBRARIES fuzz::jpeg fuzz_z m)

# giflib has no build system to speak of: its library sources, as its Makefile lists them.
saver_debian_source(giflib gif_tree)
file(STRINGS ${gif_tree}/Makefile gif_makefile)
set(gif_sources)
set(in_sources FALSE)
foreach(line IN LISTS gif_makefile)
  if(line MATCHES "^SOURCES *=")
    set(in_sources TRUE)
    string(REGEX REPLACE "^SOURCES *=" "" line "${line}")
  elseif(NOT in_sources)
    continue()
  endif()
  string(REGEX REPLACE "[\\]$" "" words "${line}")
  string(APPEND gif_sources " ${words}")
  if(NOT line MATCHES "[\\]$")
    break()
  endif()
endforeach()
string(REPLACE "\t" " " gif_sources "${gif_sources}")
separate_arguments(gif_sources)
if(NOT gif_sources)
  message(FATAL_ERROR "giflib: no SOURCES in ${gif_tree}/Makefile")
endif()
saver_fuzz_direct(gif ${gif_tree} SOURCES ${gif_sources} PUBLIC gif_lib.h HEADERS gif_lib_private.h gif_hash.h)

# WebP, still and animated. Its SIMD stays on: it is C with intrinsics, which the instrumentation
# sees, and switching it off makes the build ask for x86-64 without SSE2.
saver_fuzz_library(webp libwebp LIBRARY libwebpdemux.a ALSO libwebp.a
  ARGS -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF
       -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF
       -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF)
set_property(TARGET fuzz::webp APPEND PROPERTY INTERFACE_LINK_LIBRARIES Threads::Threads m)

# Little CMS: its library sources are the C files under src; its public headers sit under include.
saver_debian_source(lcms2 lcms2_tree)
file(GLOB lcms2_sources RELATIVE ${lcms2_tree} ${lcms2_tree}/src/*.c)
saver_fuzz_direct(lcms2 ${lcms2_tree} SOURCES ${lcms2_sources} HEADERS src/lcms2_internal.h
  include/lcms2.h include/lcms2_plugin.h DEFINES HasTHREADS=1)
target_include_directories(fuzz_lcms2 PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/src/lcms2/include)
configure_file(${lcms2_tree}/include/lcms2.h ${fuzz_libs}/include/lcms2.h COPYONLY)
target_link_libraries(fuzz_lcms2 INTERFACE Threads::Threads m)
target_include_directories(fuzz_lcms2 INTERFACE ${fuzz_libs}/include)

# HEIF: libheif with libde265 for HEVC, both instrumented. AV1 comes from Debian's own dav1d: its
# assembly is most of it, which the instrumentation could not see anyway.
saver_fuzz_library(de265 libde265 LIBRARY libde265.a
  ARGS -DENABLE_SDL=OFF -DENABLE_DECODER=OFF -DENABLE_ENCODER=OFF -DDISABLE_SSE=ON)
find_library(SAVER_SYSTEM_DAV1D NAMES dav1d REQUIRED)
saver_fuzz_library(heif libheif LIBRARY libheif.a DEPENDS fuzz_de265_build
  ARGS -DENABLE_PLUGIN_LOADING=OFF -DWITH_EXAMPLES=OFF -DBUILD_TESTING=OFF -DWITH_GDK_PIXBUF=OFF
       -DWITH_LIBDE265=ON -DWITH_LIBDE265_PLUGIN=OFF -DWITH_DAV1D=ON -DWITH_DAV1D_PLUGIN=OFF
       -DWITH_X265=OFF -DWITH_AOM_DECODER=OFF -DWITH_AOM_ENCODER=OFF -DWITH_SvtEnc=OFF -DWITH_RAV1E=OFF
       -DWITH_RAV1E_PLUGIN=OFF -DWITH_SvtEnc_PLUGIN=OFF
       -DLIBDE265_INCLUDE_DIR=${fuzz_libs}/include -DLIBDE265_LIBRARY=${fuzz_libs}/lib/libde265.a
       -DDAV1D_INCLUDE_DIR=/usr/include -DDAV1D_LIBRARY=${SAVER_SYSTEM_DAV1D})
set_property(TARGET fuzz::heif APPEND PROPERTY INTERFACE_LINK_LIBRARIES fuzz::de265 ${SAVER_SYSTEM_DAV1D}
             Threads::Threads)
