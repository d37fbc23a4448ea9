# Installation to any prefix (cmake --install, DESTDIR) and the Debian
# package made from it by CPack. Layout under the prefix:
#   bin/nordglow                 launcher: enters share/nordglow, starts the demo
#   bin/nordglow-capture         the capture tool (finds share/nordglow itself)
#   libexec/nordglow/nordglow    the demo program
#   share/nordglow/Data/         the generated data
#   share/applications, share/icons/hicolor, share/metainfo, share/man, share/doc/nordglow

set(NG_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(NG_GENERATED ${CMAKE_BINARY_DIR}/packaging)
set(NG_MAINTAINER "Nordglow 2002 maintainers <maintainers@users.noreply.c-seed-d78e5cd3.example>")
# The AppStream component: the project has no web home yet, so its ID and the
# screenshot's address use the reserved .invalid domain until it has one.
set(NG_APP_ID "invalid.nordglow.Nordglow")
set(NG_WEB_URL "https://nordglow.invalid" CACHE STRING
  "Web home of the project; the AppStream screenshot is published as NG_WEB_URL/screenshot.png")
set(NG_SCREENSHOT_URL "${NG_WEB_URL}/screenshot.png")
# Date of this version's release: the metainfo and the Debian changelog.
set(NG_RELEASE_DATE "2026-12-08")
set(NG_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 00:00:00 +0000")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The launcher finds the data and the program relative to its own folder.
file(RELATIVE_PATH NG_LAUNCH_DATA ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/nordglow)
file(RELATIVE_PATH NG_LAUNCH_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
  ${CMAKE_INSTALL_FULL_LIBEXECDIR}/nordglow/nordglow)
configure_file(${NG_PACKAGING_DIR}/nordglow.in ${NG_GENERATED}/nordglow @ONLY)
configure_file(${NG_PACKAGING_DIR}/nordglow.metainfo.xml.in ${NG_GENERATED}/${NG_APP_ID}.metainfo.xml @ONLY)
configure_file(${NG_PACKAGING_DIR}/changelog.in ${NG_GENERATED}/changelog @ONLY)
configure_file(${NG_PACKAGING_DIR}/nordglow.6 ${NG_GENERATED}/nordglow.6 @ONLY)
configure_file(${NG_PACKAGING_DIR}/nordglow-capture.1 ${NG_GENERATED}/nordglow-capture.1 @ONLY)

# The icon, drawn by the data generator: every hicolor size and the SVG.
add_custom_command(
  OUTPUT ${NG_GENERATED}/icons/.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${NG_GENERATED}/icons
  COMMAND $<TARGET_FILE:nordglow-datagen> --icons ${NG_GENERATED}/icons
  COMMAND ${CMAKE_COMMAND} -E touch ${NG_GENERATED}/icons/.stamp
  DEPENDS nordglow-datagen
  COMMENT "Generating the icons")

# One frame of the landscape flight for the AppStream screenshot. A low frame
# rate keeps it to a few seconds; the picture needs no particular frame.
add_custom_command(
  OUTPUT ${NG_GENERATED}/screenshot.png
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${NG_GENERATED}/shot
  COMMAND ${CMAKE_COMMAND} -E env GALLIUM_DRIVER=llvmpipe $<TARGET_FILE:nordglow-capture>
          --renderer software --data ${CMAKE_BINARY_DIR} --fps 5 --at 60000 --until 60001 --out ${NG_GENERATED}/shot
  COMMAND sh -c "mv \"$1\"/frame_*.png \"$2\"" sh ${NG_GENERATED}/shot ${NG_GENERATED}/screenshot.png
  DEPENDS nordglow-capture ${CMAKE_BINARY_DIR}/Data/.stamp
  COMMENT "Capturing the screenshot"
  VERBATIM)

# Man pages and the changelog (Debian format; a native package names it
# changelog.gz), gzipped as Debian wants them (-n: no name or time stamp, so
# the same text gives the same bytes).
set(NG_GZIPPED)
foreach(file nordglow.6 nordglow-capture.1 changelog)
  add_custom_command(
    OUTPUT ${NG_GENERATED}/${file}.gz
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$1.gz\"" sh ${NG_GENERATED}/${file}
    DEPENDS ${NG_GENERATED}/${file}
    VERBATIM)
  list(APPEND NG_GZIPPED ${NG_GENERATED}/${file}.gz)
endforeach()

add_custom_target(install-files ALL
  DEPENDS ${NG_GENERATED}/icons/.stamp ${NG_GENERATED}/screenshot.png ${NG_GZIPPED})
# The screenshot reads Data/: the data target writes it first, alone. Without
# this order both targets would run the generator into Data/ at once.
add_dependencies(install-files data)

install(TARGETS nordglow RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/nordglow)
install(TARGETS nordglow-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${NG_GENERATED}/nordglow DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/Data DESTINATION ${CMAKE_INSTALL_DATADIR}/nordglow
  PATTERN .stamp EXCLUDE)
install(FILES ${NG_GENERATED}/screenshot.png DESTINATION ${CMAKE_INSTALL_DATADIR}/nordglow)
install(FILES ${NG_PACKAGING_DIR}/nordglow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${NG_GENERATED}/${NG_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${NG_GENERATED}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
  PATTERN .stamp EXCLUDE)
install(FILES ${NG_GENERATED}/nordglow.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${NG_GENERATED}/nordglow-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${NG_PACKAGING_DIR}/copyright ${NG_GENERATED}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack (in the build folder) writes nordglow_VERSION_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nordglow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${NG_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3-D demo with tracker music")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Nordglow 2002 plays tracker-module music and, frame by frame, draws a fixed
sequence of animated OpenGL scenes whose timing follows the song: an intro
with chrome credits, a main part with a landscape flight, a tunnel, cones, a
pentagram in flames, metaballs and a mirrored fountain, and an end scroller.

The package also holds nordglow-capture, which runs the same demo headless
and saves frames as PNG, the soundtrack as WAV and, with ffmpeg, a video.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NG_MAINTAINER}")
# Not "games": Debian keeps those programs in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library packages come from dpkg-shlibdeps; the 3-D letters need an outline
# face that fontconfig finds, the capture tool's EGL needs Mesa's drivers
# (llvmpipe) which no library links, and SDL draws its X11 message boxes with
# the core X fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, xfonts-base")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
