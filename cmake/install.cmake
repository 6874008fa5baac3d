# Where an installed PYLAR puts its files, and its Debian package.
#
#   bin/pylar                          the command-line runner
#   bin/pylarwin -> lib/pylar/pylarwin the desktop program, started through a link
#   lib/pylar/                         the desktop program's own folder: the program,
#                                      the engine library it loads for every run and
#                                      docs (a link to share/pylar/docs), the same
#                                      layout as the build folder and a Windows install
#   share/pylar/docs, share/pylar/examples   the manuals and the sample projects
#   share/applications, share/mime/packages, share/icons/hicolor
#                                      desktop entry, the .pq8d type, the icon
include(GNUInstallDirs)

set(PYLAR_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBDIR}/pylar)
set(PYLAR_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/pylar)

install(TARGETS pylar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${PYLAR_INSTALL_DATADIR}/examples
        PATTERN ".git*" EXCLUDE)

# A relative symbolic link, made at install time below DESTDIR.
function(pylar_install_link target link)
  get_filename_component(_link_dir "/${link}" DIRECTORY)
  file(RELATIVE_PATH _relative "${_link_dir}" "/${target}")
  install(CODE "
    set(_link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
    get_filename_component(_dir \"\${_link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${_dir}\")
    file(CREATE_LINK \"${_relative}\" \"\${_link}\" SYMBOLIC)
    message(STATUS \"Installing link: \${_link} -> ${_relative}\")")
endfunction()

if(TARGET pylarwin)
  install(TARGETS pylarwin RUNTIME DESTINATION ${PYLAR_INSTALL_PROGRAMDIR})
  install(TARGETS PYLAR2017_DLL LIBRARY DESTINATION ${PYLAR_INSTALL_PROGRAMDIR}
                                RUNTIME DESTINATION ${PYLAR_INSTALL_PROGRAMDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${PYLAR_INSTALL_DATADIR}/docs)
  pylar_install_link(${PYLAR_INSTALL_PROGRAMDIR}/pylarwin ${CMAKE_INSTALL_BINDIR}/pylarwin)
  pylar_install_link(${PYLAR_INSTALL_DATADIR}/docs ${PYLAR_INSTALL_PROGRAMDIR}/docs)

  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pylarwin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pylar.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${PROJECT_SOURCE_DIR}/app/ui/icons/pylarwin.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/app/ui/icons/pylarwin.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
          RENAME application-x-pylar-project.svg)
endif()

# make package: a .deb of the build (the release preset), dependencies found
# by dpkg-shlibdeps from the programs' libraries.
set(CPACK_PACKAGE_NAME pylar)
set(CPACK_PACKAGE_VENDOR "Vexlor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Axial design of drilled, cast-in-place foundation piers")
set(CPACK_PACKAGE_DESCRIPTION
  "PYLAR designs one drilled, cast-in-place pier (bored pile), straight or belled, in a layered
profile of soil and rock: side, base and total capacity against depth for a series of
diameters or lengths under ASD or LRFD, compression and uplift, and load against settlement
from load-transfer curves. The package holds the desktop program pylarwin, the command-line
runner pylar, the analysis engine library, the manuals and sample projects.")
set(CPACK_PACKAGE_CONTACT "PYLAR developers <pylar@vexlor.invalid>" CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening the manuals and the external text editor go through the desktop's handlers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
