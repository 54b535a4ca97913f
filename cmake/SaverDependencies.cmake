# The image and compression libraries: Debian's -dev packages on Linux, the static builds of
# scripts/build-win32-deps.sh for the cross build.
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)
find_package(GIF REQUIRED)
# The finder does not know that a static libtiff needs jpeg and zlib.
set_property(TARGET TIFF::TIFF APPEND PROPERTY INTERFACE_LINK_LIBRARIES JPEG::JPEG ZLIB::ZLIB)

find_package(Threads REQUIRED)

# The photo formats of phones and the web (HEIF and AVIF through libheif with libde265 and dav1d,
# WebP with its demuxer for animations) and colour profiles (Little CMS). The cross build links
# the static libraries of scripts/build-win32-deps.sh, which carry no pkg-config of use for a
# static link, so their own dependencies are named here.
if(WIN32)
  function(saver_static_library target name)
    cmake_parse_arguments(ARG "" "" "DEPS;DEFINES" ${ARGN})
    find_library(SAVER_LIB_${name} NAMES lib${name}.a REQUIRED)
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${SAVER_LIB_${name}}
                          INTERFACE_INCLUDE_DIRECTORIES ${WIN32_DEPS_PREFIX}/include
                          INTERFACE_LINK_LIBRARIES "${ARG_DEPS}"
                          INTERFACE_COMPILE_DEFINITIONS "${ARG_DEFINES}")
  endfunction()
  saver_static_library(Saver::de265 de265 DEPS Threads::Threads DEFINES LIBDE265_STATIC_BUILD)
  saver_static_library(Saver::dav1d dav1d DEPS Threads::Threads)
  saver_static_library(Heif::Heif heif DEPS Saver::de265 Saver::dav1d Threads::Threads DEFINES LIBHEIF_STATIC_BUILD)
  saver_static_library(Saver::webp webp DEPS Threads::Threads)
  saver_static_library(WebP::WebP webpdemux DEPS Saver::webp)
  saver_static_library(LCMS2::LCMS2 lcms2)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SAVER_HEIF REQUIRED IMPORTED_TARGET GLOBAL libheif)
  pkg_check_modules(SAVER_WEBP REQUIRED IMPORTED_TARGET GLOBAL libwebp libwebpdemux)
  pkg_check_modules(SAVER_LCMS2 REQUIRED IMPORTED_TARGET GLOBAL lcms2)
  add_library(Heif::Heif ALIAS PkgConfig::SAVER_HEIF)
  add_library(WebP::WebP ALIAS PkgConfig::SAVER_WEBP)
  add_library(LCMS2::LCMS2 ALIAS PkgConfig::SAVER_LCMS2)
endif()

# The simulated platform draws text with FreeType and finds fonts by name through fontconfig.
if(NOT WIN32)
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
endif()

# Header-only libraries of the tools. The cross build sees only the mingw sysroot, so it gets a
# folder that links to just these two headers' folders of the host.
if(WIN32)
  set(SAVER_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${SAVER_HOST_HEADERS})
  foreach(dir nlohmann CLI)
    if(NOT EXISTS ${SAVER_HOST_HEADERS}/${dir})
      file(CREATE_LINK /usr/include/${dir} ${SAVER_HOST_HEADERS}/${dir} SYMBOLIC)
    endif()
  endforeach()
  add_library(saver_tool_headers INTERFACE)
  target_include_directories(saver_tool_headers SYSTEM INTERFACE ${SAVER_HOST_HEADERS})
else()
  find_package(nlohmann_json 3 REQUIRED)
  find_package(CLI11 REQUIRED)
  add_library(saver_tool_headers INTERFACE)
  target_link_libraries(saver_tool_headers INTERFACE nlohmann_json::nlohmann_json CLI11::CLI11)
endif()
