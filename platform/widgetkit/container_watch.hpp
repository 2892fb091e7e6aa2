#pragma once
// Tells a host, through one pollable descriptor, when its container or a file in it may have
// come or gone, so that it needs no timer to notice. inotify watches the container itself,
// or while it is missing, its nearest existing ancestor.

#include <filesystem>
#include <string>

#include "platform/foundation/file_descriptor.hpp"

namespace widgetkit {

struct ContainerWatch {
    foundation::FileDescriptor fd;    // inotify, non-blocking; invalid when none could be had
    std::filesystem::path container;  // the directory to follow
    std::string fileName;             // the file in it that matters (the socket)
    std::filesystem::path watched;    // the directory watched now
    int watch = -1;                   // its watch descriptor
};

// Starts watching `container` for `fileName`. Check `fd`: without inotify the caller has to
// look for itself now and then.
ContainerWatch watchContainer(const std::filesystem::path& container, std::string fileName);

// Reads what is pending without waiting; true when something may concern the container or its
// file (the next directory on the way to the container appeared, the container went, the
// file came or went). The watch then moves to the directory that is now nearest.
bool takeContainerChanges(ContainerWatch& watch);

}  // namespace widgetkit
