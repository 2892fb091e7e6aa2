# Fails when a file includes a layer above its own, by a path that climbs out of the tree, or
# GTK outside the desktop host. Run with -DSOURCE_DIR=<the tree to check> -P.
#
# The layers, each with the layers below it that it may include:
#   shared -> foundation; widgetkit -> ui -> foundation; desktop -> widgetkit (alone on GTK);
#   the programs, bridge and widget, on top.
cmake_minimum_required(VERSION 3.25)

set(layers foundation shared ui widgetkit desktop bridge widget)
set(foundation_directory platform/foundation)
set(shared_directory shared)
set(ui_directory platform/ui)
set(widgetkit_directory platform/widgetkit)
set(desktop_directory platform/desktop)
set(bridge_directory bridge)
set(widget_directory widget)

set(foundation_below "")
set(shared_below foundation)
set(ui_below foundation)
set(widgetkit_below ui foundation)
set(desktop_below widgetkit ui foundation)
set(bridge_below shared widgetkit foundation)
set(widget_below desktop shared widgetkit ui foundation)

# The layer a path from the top of the tree belongs to, or "" when it belongs to none.
function(layer_of path result)
    set(found "")
    foreach(layer IN LISTS layers)
        if(path MATCHES "^${${layer}_directory}/")
            set(found ${layer})
        endif()
    endforeach()
    set(${result} "${found}" PARENT_SCOPE)
endfunction()

set(violations "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
         ${SOURCE_DIR}/${${layer}_directory}/*.cpp ${SOURCE_DIR}/${${layer}_directory}/*.hpp
         ${SOURCE_DIR}/${${layer}_directory}/*.h)
    foreach(source IN LISTS sources)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "\"([^\"]+)\"")
                set(included ${CMAKE_MATCH_1})
                layer_of(${included} included_layer)
                if(included MATCHES "(^|/)\\.\\./")
                    list(APPEND violations "${source} includes ${included} by a climbing path")
                elseif(included_layer AND NOT included_layer STREQUAL layer
                       AND NOT included_layer IN_LIST ${layer}_below)
                    list(APPEND violations
                         "${source} (${layer}) includes ${included} (${included_layer})")
                endif()
            elseif(line MATCHES "<((gtk|gdk|atk)[^/]*/[^>]+)>" AND NOT layer STREQUAL desktop)
                list(APPEND violations "${source} (${layer}) includes ${CMAKE_MATCH_1}")
            endif()
        endforeach()
    endforeach()
endforeach()

list(LENGTH violations count)
if(count GREATER 0)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "${count} includes run against the layers:\n  ${text}")
endif()
message(STATUS "every include runs down the layers")
