# ManPages.cmake - the manual pages, made at build time by help2man from each program's own
# --help and --version output, so a page never says other than the program: section 6 for the
# demo (a game), section 1 for each tool. Installed gzipped, as Debian keeps them.
find_program(HELP2MAN_PROGRAM help2man REQUIRED)

set(VREX_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(man_pages)

# vrex_man_page(PROGRAM SECTION NAME_LINE): PROGRAM.SECTION.gz from the built PROGRAM.
function(vrex_man_page program section name_line)
    set(page ${VREX_MAN_DIR}/${program}.${section})
    add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VREX_MAN_DIR}
        COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
                ${HELP2MAN_PROGRAM} --no-info --no-discard-stderr --section=${section} --name=${name_line}
                --output=${page} $<TARGET_FILE:${program}>
        COMMAND ${GZIP_PROGRAM} -9nf ${page}
        DEPENDS ${program}
        COMMENT "Writing the manual page ${program}(${section})"
        VERBATIM)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
    set(man_pages ${man_pages} ${page}.gz PARENT_SCOPE)
endfunction()

vrex_man_page(vrex 6 "self-running real-time 3D demo with music")
foreach(tool ${VREX_INSTALLED_TOOLS})
    if(TARGET ${tool})
        vrex_man_page(${tool} 1 "${VREX_TOOL_NAME_LINE_${tool}}")
    endif()
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
