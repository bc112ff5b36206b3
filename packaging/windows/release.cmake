# Makes the Windows release files from the built game (run by the release target):
# NAME.zip, a folder as the player gets it, and NAME-setup.exe, its installer; the sources
# of the LGPL library beside them, as the offer in the folder says.
set(stage ${BINARY}/stage/${NAME})
file(REMOVE_RECURSE ${BINARY}/stage)
file(MAKE_DIRECTORY ${stage}/licenses)

# The program without its debugging sections: a player has no use for them.
file(COPY ${GAME} DESTINATION ${stage})
get_filename_component(gameName ${GAME} NAME)
execute_process(COMMAND ${STRIP} --strip-all ${stage}/${gameName} COMMAND_ERROR_IS_FATAL ANY)
file(COPY ${FREEGLUT_DLL} ${OPENAL_DLL} DESTINATION ${stage})
file(COPY ${SOURCE}/assets/level.bmp DESTINATION ${stage})
# OpenAL Soft reads its settings from alsoft.ini beside the program on Windows.
file(COPY_FILE ${SOURCE}/assets/alsoft.conf ${stage}/alsoft.ini)

# The licences: the game's own, and those of the libraries it carries, with the sources
# that the LGPL asks to be offered.
file(COPY_FILE ${SOURCE}/LICENSE ${stage}/LICENSE.txt)
foreach(library freeglut openal-soft)
  file(GLOB texts ${DEPS}/share/licenses/${library}/*)
  if(NOT texts)
    message(FATAL_ERROR "No licence of ${library} in ${DEPS}/share/licenses/${library}")
  endif()
  foreach(text ${texts})
    get_filename_component(textName ${text} NAME_WE)
    file(COPY_FILE ${text} ${stage}/licenses/${library}-${textName}.txt)
  endforeach()
endforeach()
file(GLOB tarballs ${DEPS}/share/sources/*)
file(REMOVE_RECURSE ${BINARY}/sources)
file(COPY ${tarballs} DESTINATION ${BINARY}/sources)
set(offer "Volkrin ${VERSION} for Windows carries two libraries built from Debian's source
packages, unchanged, with MinGW-w64:

- freeglut (libfreeglut.dll), under the MIT/X licence: licenses\\freeglut-COPYING.txt
- OpenAL Soft (OpenAL32.dll), under the GNU Lesser General Public License 2.1 (or later):
  licenses\\openal-soft-COPYING.txt. You may replace OpenAL32.dll with a build of your own.

Their complete sources, as built, are published beside this release and are in Debian's
archive (deb.debian.org/debian/pool/main/f/freeglut and .../o/openal-soft):
")
foreach(tarball ${tarballs})
  get_filename_component(tarballName ${tarball} NAME)
  file(SHA256 ${tarball} sha)
  string(APPEND offer "\n  ${tarballName}\n    SHA-256 ${sha}\n")
endforeach()
string(APPEND offer "
For three years from this release the Volkrin developers will also give anyone who asks a
copy of these sources, on the medium customarily used for software interchange, for no more
than the cost of making the copy.
")
file(WRITE ${stage}/licenses/SOURCES.txt "${offer}")

# The zip: the folder itself, so that it unpacks into one folder.
file(REMOVE ${BINARY}/${NAME}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${BINARY}/${NAME}.zip --format=zip ${NAME}
  WORKING_DIRECTORY ${BINARY}/stage COMMAND_ERROR_IS_FATAL ANY)

# The installer removes exactly what it put in place.
file(GLOB_RECURSE staged RELATIVE ${stage} ${stage}/*)
set(INSTALL_SIZE_KB 0)
set(UNINSTALL_FILES "")
foreach(path ${staged})
  file(SIZE ${stage}/${path} bytes)
  math(EXPR INSTALL_SIZE_KB "${INSTALL_SIZE_KB} + (${bytes} + 1023) / 1024")
  string(REPLACE "/" "\\" windowsPath ${path})
  string(APPEND UNINSTALL_FILES "  Delete \"$INSTDIR\\${windowsPath}\"\n")
endforeach()
string(REPLACE "/" "\\" STAGE_WINDOWS ${stage})
set(STAGE ${stage})
set(OUTFILE ${BINARY}/${NAME}-setup.exe)
string(REGEX MATCHALL "[0-9]+" versionParts ${VERSION})
list(GET versionParts 0 VERSION_MAJOR)
list(GET versionParts 1 VERSION_MINOR)
configure_file(${SOURCE}/packaging/windows/installer.nsi.in ${BINARY}/generated/installer.nsi @ONLY)
file(REMOVE ${OUTFILE})
execute_process(COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 ${BINARY}/generated/installer.nsi
  COMMAND_ERROR_IS_FATAL ANY)
