# Install.cmake - where `cmake --install` (and so `make install` and the Debian package) puts
# the demo, laid out the way Debian lays out a game:
#   games/vrex                               the launcher: runs the demo inside its data folder
#   lib/games/vrex-demo/                     the demo binary, libgaudio1x.so and the tools; every
#                                            binary there finds the library through RUNPATH $ORIGIN
#   share/games/vrex-demo/                   the generated data set the demo opens by bare name
#   share/applications/vrex-demo.desktop     the menu entry
#   share/icons/hicolor/NxN/apps/vrex-demo.png
#   share/man/man6, man1                     the manual pages (cmake/ManPages.cmake)
#   share/doc/vrex-demo/                     copyright and changelog
# The demo binary keeps opening its files by bare name in its working directory: only the
# launcher knows where the data lies, and it finds both folders relative to itself, so a tree
# installed under any prefix (or staged under DESTDIR) runs as it is.
include(GNUInstallDirs)

set(VREX_PACKAGE_NAME vrex-demo)
set(VREX_INSTALL_GAMES_DIR games)
set(VREX_INSTALL_PRIVATE_DIR lib/games/${VREX_PACKAGE_NAME})
set(VREX_INSTALL_DATA_DIR share/games/${VREX_PACKAGE_NAME})
set(VREX_INSTALL_DOC_DIR share/doc/${VREX_PACKAGE_NAME})

# Programs installed beside the demo, with the one line their manual pages are named by.
set(VREX_INSTALLED_TOOLS vrex-gen-data vrex-gen-music vrex-inspect vrex-capture)
set(VREX_TOOL_NAME_LINE_vrex-gen-data "writes the vrex demo's pictures, height map, model and icon")
set(VREX_TOOL_NAME_LINE_vrex-gen-music "composes and encodes the vrex demo's music")
set(VREX_TOOL_NAME_LINE_vrex-inspect "tells what the vrex demo makes of its data files")
set(VREX_TOOL_NAME_LINE_vrex-capture "renders the vrex demo offscreen into pictures or a video")

foreach(program vrex ${VREX_INSTALLED_TOOLS})
    if(TARGET ${program})
        set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN")
        install(TARGETS ${program} RUNTIME DESTINATION ${VREX_INSTALL_PRIVATE_DIR})
    endif()
endforeach()
# A private library: no SONAME users outside this folder, so no development link or version.
install(TARGETS gaudio LIBRARY DESTINATION ${VREX_INSTALL_PRIVATE_DIR} NAMELINK_SKIP)

# The launcher learns the way from its own folder to the other two at configure time.
file(RELATIVE_PATH VREX_LAUNCHER_TO_PRIVATE /${VREX_INSTALL_GAMES_DIR} /${VREX_INSTALL_PRIVATE_DIR})
file(RELATIVE_PATH VREX_LAUNCHER_TO_DATA /${VREX_INSTALL_GAMES_DIR} /${VREX_INSTALL_DATA_DIR})
configure_file(${CMAKE_SOURCE_DIR}/packaging/vrex.in ${CMAKE_BINARY_DIR}/packaging/vrex @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/vrex DESTINATION ${VREX_INSTALL_GAMES_DIR})

if(VREX_TOOLS)
    # The data set as the generators leave it, without their own bookkeeping: the MIDI file is
    # the music's score, not something the demo opens.
    install(DIRECTORY ${VREX_DATA_DIR}/ DESTINATION ${VREX_INSTALL_DATA_DIR}
        PATTERN ".*" EXCLUDE
        PATTERN "*.mid" EXCLUDE
        PATTERN "*.part" EXCLUDE)
    foreach(size ${VREX_ICON_SIZES})
        install(FILES ${VREX_ICON_DIR}/${size}.png RENAME ${VREX_PACKAGE_NAME}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()

configure_file(${CMAKE_SOURCE_DIR}/packaging/vrex-demo.desktop.in
    ${CMAKE_BINARY_DIR}/packaging/${VREX_PACKAGE_NAME}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${VREX_PACKAGE_NAME}.desktop DESTINATION share/applications)

# Debian wants the copyright file as it is and the changelog compressed, byte for byte the same
# on every build (no name or time stamp in the gzip header).
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9nf -k ${CMAKE_BINARY_DIR}/packaging/changelog
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${VREX_INSTALL_DOC_DIR})

if(VREX_TOOLS AND VREX_MAN_PAGES)
    include(${CMAKE_SOURCE_DIR}/cmake/ManPages.cmake)
endif()
include(${CMAKE_SOURCE_DIR}/cmake/Package.cmake)
