# Installing Oravent as a Linux desktop program, and the .deb that CPack
# makes of it (`cpack -G DEB` in a build folder).
#
#   /opt/Halvorn/Oravent/          oravent, oravent-calc, Help/
#   /opt/Halvorn/Common Files/     the shared data the build copies there
#   /usr/bin/oravent, oravent-calc links into /opt/Halvorn/Oravent/
#   /usr/share/applications/, icons/hicolor/, metainfo/   desktop integration
#
# The program finds "Common Files" from its own folder (the real file behind
# /proc/self/exe, so the links in /usr/bin do not mislead it); the installed
# tree is the one the build lays out. The destinations are absolute, as the
# program's folder is fixed: `cmake --install` writes to the system, and
# DESTDIR=<folder> stages the same tree elsewhere. CPack's DEB generator
# stages through DESTDIR by itself.

set(ORAVENT_INSTALL_APP_DIR "/opt/${ORAVENT_COMPANY}/${ORAVENT_PRODUCT}")
set(ORAVENT_INSTALL_COMMON_DIR "/opt/${ORAVENT_COMPANY}/Common Files")
set(ORAVENT_APP_ID "com.halvorn.Oravent")
set(ORAVENT_DESKTOP_DIR "${PROJECT_SOURCE_DIR}/data/desktop")
set(ORAVENT_STAGE_DIR "${CMAKE_BINARY_DIR}/install-extra")

# The programs and the help folder, named one by one: a program run from the
# build may have left its calculation file or a snapshot beside itself.
set(ORAVENT_INSTALLED_PROGRAMS oravent-calc)
if(TARGET oravent)
  list(PREPEND ORAVENT_INSTALLED_PROGRAMS oravent)
  install(DIRECTORY "${ORAVENT_APP_DIR}/Help" DESTINATION "${ORAVENT_INSTALL_APP_DIR}")
endif()
install(TARGETS ${ORAVENT_INSTALLED_PROGRAMS} RUNTIME DESTINATION "${ORAVENT_INSTALL_APP_DIR}")
install(DIRECTORY "${ORAVENT_COMMON_DIR}/" DESTINATION "${ORAVENT_INSTALL_COMMON_DIR}")

# Relative links, so that a staged or unpacked tree is whole in itself.
file(MAKE_DIRECTORY "${ORAVENT_STAGE_DIR}/bin")
foreach(program IN LISTS ORAVENT_INSTALLED_PROGRAMS)
  file(CREATE_LINK "../..${ORAVENT_INSTALL_APP_DIR}/${program}"
       "${ORAVENT_STAGE_DIR}/bin/${program}" SYMBOLIC)
  install(FILES "${ORAVENT_STAGE_DIR}/bin/${program}" DESTINATION /usr/bin)
endforeach()

if(TARGET oravent)
  install(FILES "${ORAVENT_DESKTOP_DIR}/${ORAVENT_APP_ID}.desktop"
          DESTINATION /usr/share/applications)

  # The release date follows SOURCE_DATE_EPOCH when it is set.
  string(TIMESTAMP ORAVENT_RELEASE_DATE "%Y-%m-%d" UTC)
  configure_file("${ORAVENT_DESKTOP_DIR}/${ORAVENT_APP_ID}.metainfo.xml.in"
                 "${ORAVENT_STAGE_DIR}/${ORAVENT_APP_ID}.metainfo.xml" @ONLY)
  install(FILES "${ORAVENT_STAGE_DIR}/${ORAVENT_APP_ID}.metainfo.xml"
          DESTINATION /usr/share/metainfo)

  # The program's icon (also its window icon, compiled in from data/icons),
  # scalable and drawn at the usual fixed sizes by rsvg-convert.
  set(icon_svg "${PROJECT_SOURCE_DIR}/data/icons/oravent.svg")
  install(FILES "${icon_svg}" DESTINATION /usr/share/icons/hicolor/scalable/apps
          RENAME "${ORAVENT_APP_ID}.svg")
  find_program(ORAVENT_RSVG_CONVERT rsvg-convert)
  if(ORAVENT_RSVG_CONVERT)
    set(icon_pngs)
    foreach(size 16 22 24 32 48 64 128 256)
      set(png "${ORAVENT_STAGE_DIR}/icons/${size}x${size}/${ORAVENT_APP_ID}.png")
      add_custom_command(
        OUTPUT "${png}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${ORAVENT_STAGE_DIR}/icons/${size}x${size}"
        COMMAND "${ORAVENT_RSVG_CONVERT}" -w ${size} -h ${size} -o "${png}" "${icon_svg}"
        DEPENDS "${icon_svg}"
        VERBATIM)
      list(APPEND icon_pngs "${png}")
      install(FILES "${png}" DESTINATION "/usr/share/icons/hicolor/${size}x${size}/apps")
    endforeach()
    add_custom_target(oravent_icon_sizes ALL DEPENDS ${icon_pngs})
  else()
    message(WARNING "rsvg-convert (Debian librsvg2-bin) not found: "
                    "only the scalable icon is installed")
  endif()
endif()

# --- The Debian package ---------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME oravent)
set(CPACK_PACKAGE_VENDOR "${ORAVENT_COMPANY}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "duct size calculator for HVAC engineers")
# The summary is the Description's first line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Oravent sizes the air ducts of heating, ventilation and air-conditioning
systems from flow, pressure drop rate, velocity and duct size (Darcy-Weisbach
with a Colebrook friction factor), with a moist-air window, a pressure
calculator with a database of places, metric and imperial units, a printable
report, and the command-line calculator oravent-calc.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Halvorn Oravent team <oravent@halvorn.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://halvorn.example/oravent/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link, found by dpkg-shlibdeps; Qt's SVG plugins
# (the icons) are loaded at run time, so their package is named here. Help
# pages and mail go through xdg-open and xdg-email.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
