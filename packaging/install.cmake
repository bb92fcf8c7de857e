# What `cmake --install` and the Debian package put where. The programs live with their engine set, help
# page and tip page in lib/quorvex/ (their own folder, read-only there, so the window keeps its data in
# the user's data folder) and are started through links in bin/; the desktop entry, icon, AppStream file,
# manual pages and the package's documents go below share/.
include(GNUInstallDirs)
set(QUORVEX_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quorvex)
set(QUORVEX_PROGRAM_DIR ${CMAKE_INSTALL_FULL_LIBDIR}/quorvex)
set(QUORVEX_APP_ID org.quorvex.Quorvex)
set(generated ${CMAKE_BINARY_DIR}/packaging)
find_program(GZIP_PROGRAM gzip REQUIRED)

set(programs quorvex-cli)
if(QUORVEX_BUILD_GUI)
  list(APPEND programs quorvex)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${QUORVEX_INSTALL_DIR})
foreach(program IN LISTS programs)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${QUORVEX_INSTALL_DIR}/${program}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/engines/ DESTINATION ${QUORVEX_INSTALL_DIR}/Engines1)
install(FILES ${PROJECT_SOURCE_DIR}/data/help.html ${PROJECT_SOURCE_DIR}/packaging/installed
        DESTINATION ${QUORVEX_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/cache/0/0.htm DESTINATION ${QUORVEX_INSTALL_DIR}/cache/0)

# gzip_file(SOURCE TARGET_LIST): SOURCE.gz beside it, without name or time stamp, so that the same
# input always gives the same bytes.
function(gzip_file source list)
  add_custom_command(OUTPUT ${source}.gz COMMAND ${GZIP_PROGRAM} -9nkf ${source} DEPENDS ${source})
  set(${list} ${${list}} ${source}.gz PARENT_SCOPE)
endfunction()

# quorvex-cli(1) is written from the program's own help texts; quorvex(1) is kept as source.
add_custom_command(OUTPUT ${generated}/quorvex-cli.1
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:quorvex-cli> -DOUTPUT=${generated}/quorvex-cli.1
          -DVERSION=${PROJECT_VERSION} -DDATE=${QUORVEX_RELEASE_DATE} -DPROGRAM_DIR=${QUORVEX_PROGRAM_DIR}
          -P ${CMAKE_CURRENT_LIST_DIR}/cli_manpage.cmake
  DEPENDS quorvex-cli ${CMAKE_CURRENT_LIST_DIR}/cli_manpage.cmake)
set(compressed "")
gzip_file(${generated}/quorvex-cli.1 compressed)
if(QUORVEX_BUILD_GUI)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvex.1.in ${generated}/quorvex.1 @ONLY)
  gzip_file(${generated}/quorvex.1 compressed)
endif()

execute_process(COMMAND date -u -R -d ${QUORVEX_RELEASE_DATE} OUTPUT_VARIABLE QUORVEX_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${generated}/changelog @ONLY)
gzip_file(${generated}/changelog compressed)
add_custom_target(package_documents ALL DEPENDS ${compressed})

install(FILES ${generated}/quorvex-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvex)

if(QUORVEX_BUILD_GUI)
  install(FILES ${generated}/quorvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${QUORVEX_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/quorvex.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(${PROJECT_SOURCE_DIR}/data/desktop/${QUORVEX_APP_ID}.metainfo.xml.in
                 ${generated}/${QUORVEX_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${generated}/${QUORVEX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The Debian package (`bash scripts/package.sh` builds it): its run-time dependencies are found from
# the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvex)
set(CPACK_PACKAGE_VENDOR "The Quorvex developers")
set(CPACK_PACKAGE_CONTACT "The Quorvex developers <support@quorvex.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "meta-search client: many web search engines at once")
set(CPACK_PACKAGE_DESCRIPTION "Quorvex sends one keyword to many web search engines at once, cuts their
result pages up with a definition file per engine and merges everything into
one scored list that is kept for later. Result pages can be verified or
downloaded for reading offline. The command-line tool quorvex-cli runs the
same searches without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon is an SVG, which Qt draws through its SVG plugins; the browser and mail commands go through
# xdg-utils. Neither is linked, so the library scan cannot find them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quorvex.org/)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
