# vrex_module(NAME [DEPS ...]): the static library of one subsystem folder, made of every .cpp
# in that folder except main.cpp. Each file is one concept, so adding a file needs no edit here.
function(vrex_module name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# vrex_add_subfolders(): add every subfolder of the current folder that has a CMakeLists.txt,
# so a new test, tool, benchmark or fuzz target needs no edit above its own folder.
function(vrex_add_subfolders)
    file(GLOB subdirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir ${subdirs})
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
