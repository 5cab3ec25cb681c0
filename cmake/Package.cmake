# Package.cmake - `make package`: one Debian package, vrex-demo_VERSION_ARCH.deb, made by CPack
# from the install rules (cmake/Install.cmake). Its version is the project's; its dependencies
# are what dpkg-shlibdeps finds the installed binaries linked against, never a hand-kept list.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VREX_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "vrex demo developers")
set(CPACK_PACKAGE_CONTACT "vrex demo developers <vrex-demo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running real-time 3D demo with music")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME ${VREX_PACKAGE_NAME})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME ${VREX_PACKAGE_NAME})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A short audiovisual show drawn with OpenGL 1.1 in one 800 x 600 window, full
screen or windowed: intro pictures, two wobbling translucent layers, a
sphere-mapped axis star, a volcano with a fountain of particles, dinosaurs
turning in a metal tube, and credits, with MP3 music playing in the background.
The show is counted in frames and lasts about five minutes at 60 frames per
second.
.
The package also holds the tools that made its data set: the picture, height
map and model generator, the music composer, a data inspector and an offscreen
frame capture.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libgaudio1x.so is the package's own: dpkg-shlibdeps must find it here, not in the system.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# The one library no link shows: SDL opens the system's OpenGL (libGL.so.1) when the window
# asks for a GL context. dpkg-shlibdeps adds everything else to this.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
# Files the tools open by name at run time, which no binary's link shows: the face the title
# cards are set in and the soundfont the music is rendered with. The demo itself needs neither.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, timgm6mb-soundfont")
# Debian's file modes, whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
