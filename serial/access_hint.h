// SPDX-License-Identifier: GPL-3.0-or-later
// What to tell a user whose system refused access to a serial device. Plain
// POSIX, shared by the command line and the window's port panel.
#pragma once

#include <string>

namespace pellaro {

// The advice that follows "permission denied": when the device's group may
// read and write it (dialout on most systems), joining that group, with sudo
// or as root for a system without sudo; otherwise
// asking for access or using another port. Names the device and nothing the
// user cannot act on.
std::string accessRefusedHint(const std::string& device);

}   // namespace pellaro
