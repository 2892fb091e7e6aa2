# `make package`: one Debian package of everything `cmake --install` puts in place, under
# /usr. Its library dependencies come from the binaries (dpkg-shlibdeps); the fonts are
# named because the pictures need them and no binary links them.

# Debian keeps a package's history as share/doc/<package>/changelog.gz, packed without a
# name or time stamp so that the same source packs alike.
find_program(GZIP gzip REQUIRED)
set(JOTBIRD_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
    OUTPUT ${JOTBIRD_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND sh -c [["$0" -9n < "$1" > "$2.part" && mv "$2.part" "$2"]]
            ${GZIP} ${CMAKE_CURRENT_LIST_DIR}/changelog ${JOTBIRD_CHANGELOG}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
    VERBATIM)
add_custom_target(jotbird_changelog ALL DEPENDS ${JOTBIRD_CHANGELOG})
install(FILES ${JOTBIRD_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${JOTBIRD_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Jotbird")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Jotbird notes and reminders as a desktop widget")
# One string: set() with several would make a list, and its semicolons would show. Lines
# stay within 80 columns for the terminals that show them.
set(CPACK_PACKAGE_DESCRIPTION "\
Pinned notes and reminders from the Jotbird notes app, drawn as a widget in
three sizes. JotbirdWidgetBridge publishes the app's snapshot of notes;
JotbirdWidgets draws it, answers a widget host's requests on its command line
and keeps pictures live; JotbirdWidgetsDesktop shows it on the desktop.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# A stripped install also loses the compilers' .comment and .note sections, as dh_strip
# drops them from Debian's packages; after every program's own install rule.
find_program(JOTBIRD_OBJCOPY objcopy REQUIRED)
set(programs JotbirdWidgetBridge JotbirdWidgets JotbirdWidgetsDesktop)
foreach(program IN LISTS programs)
    if(TARGET ${program})
        install(CODE "
            if(CMAKE_INSTALL_DO_STRIP)
                execute_process(COMMAND \"${JOTBIRD_OBJCOPY}\" --remove-section=.comment
                        --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                        COMMAND_ERROR_IS_FATAL ANY)
            endif()
        ")
    endif()
endforeach()
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Jotbird widget developers <widgets@jotbird.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese texts, the Latin and other scripts people type, and emoji.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-noto-core, fonts-noto-color-emoji")
# xdg-mime registers the notes app as the handler of the widget's links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
