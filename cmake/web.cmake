# The browser build, with emscripten (scripts/build-web.sh): the game's own code over the
# web platform (src/platform/web.cpp), its toolkit and its GL layer (src/platform/web), and
# the page that plays it, packed into one folder that plays from any static server or from
# disk (everything in one script: the program, the level image and the lettering's font).
enable_language(C)

set(VOLKRIN_FREEGLUT_SOURCE "" CACHE FILEPATH
  "freeglut's source tarball, whose stroke font the lettering uses (scripts/web-deps.sh)")
if(NOT EXISTS "${VOLKRIN_FREEGLUT_SOURCE}")
  message(FATAL_ERROR "The browser build takes its lettering's font from freeglut's source: "
    "name its tarball with -DVOLKRIN_FREEGLUT_SOURCE=... (scripts/build-web.sh fetches it).")
endif()
set(fontDir ${CMAKE_CURRENT_BINARY_DIR}/freeglut)
file(ARCHIVE_EXTRACT INPUT "${VOLKRIN_FREEGLUT_SOURCE}" DESTINATION ${fontDir}
  PATTERNS freeglut-*/src/fg_stroke_mono_roman.c freeglut-*/COPYING)
file(GLOB fontSource ${fontDir}/freeglut-*/src/fg_stroke_mono_roman.c)
file(GLOB fontLicence ${fontDir}/freeglut-*/COPYING)

set(web ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web)
file(GLOB VOLKRIN_SOURCES CONFIGURE_DEPENDS
  src/app/*.cpp src/game/*.cpp src/input/*.cpp src/render/*.cpp src/image/*.cpp
  src/sound/*.cpp src/platform/web.cpp ${web}/*.cpp ${web}/gl/*.cpp)
list(REMOVE_ITEM VOLKRIN_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/app/main.cpp)
add_library(volkrin_core STATIC ${VOLKRIN_SOURCES} ${fontSource})
# The web platform's GL, GLU, toolkit and OpenAL headers come before emscripten's own.
target_include_directories(volkrin_core BEFORE PUBLIC ${web}/include)
target_include_directories(volkrin_core PUBLIC src)
target_include_directories(volkrin_core PRIVATE ${web}/freeglut)
# freeglut's table is C as generated; its warnings are not ours to mend.
set_source_files_properties(${fontSource} PROPERTIES COMPILE_OPTIONS "-w")
target_link_options(volkrin_core PUBLIC -lopenal "--js-library=${web}/page.js"
  -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sSINGLE_FILE=1)
set_property(TARGET volkrin_core APPEND PROPERTY INTERFACE_LINK_DEPENDS ${web}/page.js)

# The game: one script with the program and the level image in it, and the page around it.
add_executable(volkrin src/app/main.cpp)
target_link_libraries(volkrin PRIVATE volkrin_core)
target_link_options(volkrin PRIVATE -sENVIRONMENT=web -sMAX_WEBGL_VERSION=1
  "--embed-file=${CMAKE_CURRENT_SOURCE_DIR}/assets/level.bmp@level.bmp")
set_target_properties(volkrin PROPERTIES SUFFIX .js)
set_property(TARGET volkrin APPEND PROPERTY LINK_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/assets/level.bmp)

# The folder a player unzips or a server serves, and its zip.
set(pageName volkrin-${PROJECT_VERSION}-web)
set(pageDir ${CMAKE_CURRENT_BINARY_DIR}/${pageName})
# The files the page loads, each under its name in the folder from its source; the service
# worker keeps exactly these, in a cache named by the version.
set(icons ${CMAKE_CURRENT_SOURCE_DIR}/packaging/icons)
set(pageFiles index.html volkrin.js manifest.json
  icon.png icon-192.png icon-512.png apple-touch-icon.png)
set(pageSources ${CMAKE_CURRENT_BINARY_DIR}/index.html $<TARGET_FILE:volkrin> ${web}/manifest.json
  ${icons}/volkrin-32.png ${icons}/volkrin-192.png ${icons}/volkrin-512.png
  ${icons}/volkrin-180-opaque.png)
set(copies "")
foreach(name source IN ZIP_LISTS pageFiles pageSources)
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${source} ${pageDir}/${name})
endforeach()
list(JOIN pageFiles "', '" VOLKRIN_PAGE_FILES)
set(VOLKRIN_PAGE_FILES "'${VOLKRIN_PAGE_FILES}'")
configure_file(${web}/index.html ${CMAKE_CURRENT_BINARY_DIR}/index.html @ONLY)
configure_file(${web}/sw.js ${CMAKE_CURRENT_BINARY_DIR}/sw.js @ONLY)
add_custom_target(page ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${pageDir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${pageDir}/licenses
  ${copies}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_BINARY_DIR}/sw.js ${pageDir}/
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE
          ${pageDir}/licenses/volkrin.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${fontLicence} ${pageDir}/licenses/freeglut.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${pageName}.zip
  COMMAND ${CMAKE_COMMAND} -E tar cf ${pageName}.zip --format=zip ${pageName}
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DEPENDS volkrin ${pageSources} ${CMAKE_CURRENT_BINARY_DIR}/sw.js
  COMMENT "Making the page's folder and ${pageName}.zip" VERBATIM)

if(VOLKRIN_TESTS)
  enable_testing()
  add_subdirectory(tests/web)
endif()
