# Writes the page's service worker into the site folder SITE with the names and SHA-256 digests of
# the site's other files FILES (separated by commas) and a version made of them, so that each
# build of the site has a worker and a cache of its own. A file in SITE that is not one of FILES
# any more (left from an older build) is removed: the folder holds exactly what to publish.
#   cmake -DSITE=DIR -DFILES=NAME,NAME... -P write-worker.cmake
cmake_minimum_required(VERSION 3.18)

string(REPLACE "," ";" files "${FILES}")
set(RINK_SITE_DIGESTS "")
foreach(name IN LISTS files)
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND RINK_SITE_DIGESTS "  '${name}': '${digest}',\n")
endforeach()
string(SHA256 version "${RINK_SITE_DIGESTS}")
string(SUBSTRING ${version} 0 16 RINK_SITE_VERSION)
configure_file(${CMAKE_CURRENT_LIST_DIR}/rink-worker.js ${SITE}/rink-worker.js @ONLY)
include(${CMAKE_CURRENT_LIST_DIR}/page-script.cmake)
rink_drop_line_comments(${SITE}/rink-worker.js)
file(TOUCH ${SITE}/rink-worker.js)  # newer than the files it names, even when written the same

file(GLOB_RECURSE present RELATIVE ${SITE} ${SITE}/*)
foreach(name IN LISTS present)
  if(NOT name IN_LIST files AND NOT name STREQUAL "rink-worker.js")
    message(STATUS "Removing ${name} from the site: the page does not load it")
    file(REMOVE ${SITE}/${name})
  endif()
endforeach()
