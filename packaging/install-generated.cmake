# Install-time step: writes the files that must name absolute installed paths (launcher,
# desktop entry, manual page) for the prefix actually installed to, honouring DESTDIR.
# The VOLKRIN_* variables are set by the install rule that runs just before this script.

set(prefix "${CMAKE_INSTALL_PREFIX}")
if(NOT IS_ABSOLUTE "${prefix}")
  get_filename_component(prefix "${prefix}" ABSOLUTE)
endif()
string(REGEX REPLACE "/+$" "" prefix "${prefix}")
if(prefix MATCHES "[\n\r\t]")
  message(FATAL_ERROR "volkrin: an install prefix with control characters cannot be written "
                      "into the launcher and the desktop entry: ${prefix}")
endif()

set(launcherPath "${prefix}/${VOLKRIN_INSTALL_GAMESDIR}/volkrin")
set(binaryPath "${prefix}/${VOLKRIN_INSTALL_LIBEXECDIR}/volkrin")
set(dataPath "${prefix}/${VOLKRIN_INSTALL_DATADIR}")

# Records one written file like install() does: a status line and the install manifest.
function(volkrinInstalled file)
  message(STATUS "Installing: ${file}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${file}")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

# Launcher: a POSIX shell script, paths in single quotes (a quote inside becomes '\'').
string(REPLACE "'" "'\\''" LAUNCHER_DATA_DIR "${dataPath}")
string(REPLACE "'" "'\\''" LAUNCHER_BINARY "${binaryPath}")
set(launcherOut "$ENV{DESTDIR}${launcherPath}")
configure_file("${VOLKRIN_TEMPLATE_DIR}/launcher.sh.in" "${launcherOut}" @ONLY)
file(CHMOD "${launcherOut}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
volkrinInstalled("${launcherOut}")

# Desktop entry. Exec is one quoted argument: inside the quotes " ` $ \ take a backslash,
# then every backslash is doubled once more as in any string value, and % is doubled.
set(execArg "${launcherPath}")
string(REPLACE "\\" "\\\\" execArg "${execArg}")
foreach(special "\"" "`" "$")
  string(REPLACE "${special}" "\\${special}" execArg "${execArg}")
endforeach()
string(REPLACE "\\" "\\\\" execArg "${execArg}")
string(REPLACE "%" "%%" execArg "${execArg}")
if(launcherPath MATCHES "^[A-Za-z0-9_./+-]+$")
  set(DESKTOP_EXEC "${launcherPath}")  # nothing to quote
else()
  set(DESKTOP_EXEC "\"${execArg}\"")
endif()
string(REPLACE "\\" "\\\\" DESKTOP_PATH "${dataPath}")
set(desktopOut "$ENV{DESTDIR}${prefix}/${VOLKRIN_INSTALL_APPDIR}/${VOLKRIN_APP_ID}.desktop")
configure_file("${VOLKRIN_TEMPLATE_DIR}/volkrin.desktop.in" "${desktopOut}" @ONLY)
file(CHMOD "${desktopOut}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
volkrinInstalled("${desktopOut}")

# Manual page, gzipped as Debian ships them (-n: no name or time stamp, so it is the same
# at every build). Backslashes in the paths are written as roff's \e.
set(MAN_VERSION "${VOLKRIN_VERSION}")
foreach(var launcherPath binaryPath dataPath)
  string(REPLACE "\\" "\\e" man_${var} "${${var}}")
endforeach()
set(MAN_LAUNCHER "${man_launcherPath}")
set(MAN_BINARY "${man_binaryPath}")
set(MAN_DATA_DIR "${man_dataPath}")
set(manOut "$ENV{DESTDIR}${prefix}/${VOLKRIN_INSTALL_MAN6DIR}/volkrin.6")
file(REMOVE "${manOut}.gz")
configure_file("${VOLKRIN_TEMPLATE_DIR}/volkrin.6.in" "${manOut}" @ONLY)
execute_process(COMMAND gzip -9 -n -f "${manOut}" RESULT_VARIABLE gzipResult)
if(NOT gzipResult EQUAL 0)
  message(FATAL_ERROR "volkrin: could not compress ${manOut}: ${gzipResult}")
endif()
file(CHMOD "${manOut}.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
volkrinInstalled("${manOut}.gz")
