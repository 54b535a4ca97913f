# The Debian source packages of the image libraries, as scripts/build-win32-deps.sh fetched and
# unpacked them into .deps/src for the cross build: the fuzz targets build the libraries from them
# once more, and the tests read the libraries' own test pictures there.
set(SAVER_DEPS_DIR ${CMAKE_SOURCE_DIR}/.deps CACHE PATH "Where scripts/build-win32-deps.sh keeps the sources")

# saver_debian_source(package VAR): VAR := the unpacked source tree of the version the cross build
# was built from.
function(saver_debian_source package var)
  file(GLOB stamps LIST_DIRECTORIES false "${SAVER_DEPS_DIR}/win32-i686/stamps/${package}-*")
  list(FILTER stamps EXCLUDE REGEX "\\.unavailable$")
  if(NOT stamps)
    message(FATAL_ERROR "No source of ${package} in ${SAVER_DEPS_DIR}: run scripts/build-win32-deps.sh first")
  endif()
  list(GET stamps 0 stamp)
  get_filename_component(name ${stamp} NAME)
  string(REGEX REPLACE "^${package}-([0-9]+:)?" "" version ${name})
  set(tree ${SAVER_DEPS_DIR}/src/${package}-${version})
  if(NOT EXISTS ${tree})
    message(FATAL_ERROR "${tree} is missing: run scripts/build-win32-deps.sh")
  endif()
  set(${var} ${tree} PARENT_SCOPE)
endfunction()

