# The Windows build (cross-compiled with cmake/mingw-w64.cmake): where the libraries built for
# it live, and how the demo's sources meet the Windows headers.

# SDL2, SDL2_mixer, libpng and mpg123 built for Windows by scripts/windows-deps.sh; zlib is the
# toolchain's own. pkg-config and find_package look there and nowhere else.
set(VREX_WINDOWS_DEPS "" CACHE PATH "Install prefix of the libraries built for Windows")
if(NOT IS_DIRECTORY "${VREX_WINDOWS_DEPS}/lib")
    message(FATAL_ERROR "VREX_WINDOWS_DEPS (${VREX_WINDOWS_DEPS}) holds no libraries: run scripts/windows-deps.sh")
endif()
set(ENV{PKG_CONFIG_LIBDIR} "${VREX_WINDOWS_DEPS}/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
list(PREPEND CMAKE_FIND_ROOT_PATH "${VREX_WINDOWS_DEPS}")
list(PREPEND CMAKE_PREFIX_PATH "${VREX_WINDOWS_DEPS}")
set(ZLIB_USE_STATIC_LIBS ON)

# The platform layer reuses Win32's names, so no file of the demo may see <windows.h>. GL/gl.h
# includes it only to learn these two words; given here, it declares the GL functions alone.
# (The entry points are linked through opengl32's import library like any other function, so
# the tests' recording GL can stand in for them.)
add_compile_definitions(WINGDIAPI= APIENTRY=__stdcall CALLBACK=__stdcall)
# M_PI and its kin, which glibc's <cmath> gives without asking.
add_compile_definitions(_USE_MATH_DEFINES)

# The programs are console programs with their own main(): the demo prints its start-up
# messages and reads a console key, so SDL's WinMain wrapper is not wanted.
add_compile_definitions(SDL_MAIN_HANDLED)

# Programs run from the build folder (the tests, under Wine) find the SDL DLLs beside them.
file(COPY "${VREX_WINDOWS_DEPS}/bin/SDL2.dll" "${VREX_WINDOWS_DEPS}/bin/SDL2_mixer.dll"
     DESTINATION "${CMAKE_BINARY_DIR}/bin")

# CLI11 and nlohmann-json are header-only and the same for every system: the Linux packages'
# headers are used, through a folder that holds them alone (all of /usr/include would shadow
# mingw's headers).
set(header_only_include ${CMAKE_BINARY_DIR}/header-only-include)
file(MAKE_DIRECTORY ${header_only_include})
file(CREATE_LINK /usr/include/CLI ${header_only_include}/CLI SYMBOLIC)
file(CREATE_LINK /usr/include/nlohmann ${header_only_include}/nlohmann SYMBOLIC)
include_directories(SYSTEM ${header_only_include})

# mingw's GCC 12 reports false -Wrestrict overlaps inside libstdc++'s own string code when it
# inlines it with optimisation (a known compiler fault), which warnings-as-errors would stop.
add_compile_options(-Wno-restrict)
