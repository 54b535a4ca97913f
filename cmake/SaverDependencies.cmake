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
