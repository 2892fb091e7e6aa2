# The released build takes Debian's build flags as dpkg-buildflags gives them, with every
# hardening feature on (fortified functions, strong stack protector, full RELRO with
# immediate binding), as a Debian package of the programs would be built. The build type
# still decides optimisation and debug information, so -O and -g are left to it.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT JOTBIRD_SANITIZE AND NOT JOTBIRD_FUZZ)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags)
    if(DPKG_BUILDFLAGS)
        foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
            execute_process(
                COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                        ${DPKG_BUILDFLAGS} --get ${kind}
                WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
            separate_arguments(flags UNIX_COMMAND "${flags}")
            list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
            if(kind STREQUAL "LDFLAGS")
                add_link_options(${flags})
            else()
                add_compile_options(${flags})
            endif()
            set(JOTBIRD_${kind} ${flags})
        endforeach()
        message(STATUS "Debian build flags: ${JOTBIRD_CPPFLAGS} ${JOTBIRD_CXXFLAGS} ${JOTBIRD_LDFLAGS}")
    else()
        message(WARNING "dpkg-buildflags not found: the release build lacks Debian's hardening")
    endif()
endif()
