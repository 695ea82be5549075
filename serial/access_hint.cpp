// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/access_hint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellaro {

std::string accessRefusedHint(const std::string& device) {
    struct stat st {};
    // Joining the group cures it only when the group's members may use the
    // device; a node of mode 600 owned by root is not one of those.
    if (::stat(device.c_str(), &st) == 0 && (st.st_mode & S_IRGRP) && (st.st_mode & S_IWGRP)) {
        if (const group* g = ::getgrgid(st.st_gid)) {
            const std::string name = g->gr_name;
            // As root, $USER would name root: the user is named instead.
            const passwd* user = ::getpwuid(::getuid());
            const std::string login = user && user->pw_uid != 0 ? user->pw_name : "USER";
            return "the device belongs to group " + name + ". Join it with: sudo usermod -aG " + name +
                   " $USER (or without sudo, as root: usermod -aG " + name + " " + login + "), then log in again";
        }
    }
    return "ask the system's administrator for access to " + device + ", or use another port";
}

}   // namespace pellaro
