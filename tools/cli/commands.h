// SPDX-License-Identifier: GPL-3.0-or-later
// Subcommands of pellaro-cli. Each one lives in a source file of this folder
// and registers itself with a static CommandRegistration, so adding a command
// needs no change to main.cpp:
//
//     int cliRead(const std::vector<std::string>& args);
//     static const pellaro::cli::CommandRegistration readCommand{
//         {"read", "DEVICE OUT.bc", "read the radio on DEVICE into OUT.bc", cliRead}};
//
// `args` holds the arguments after the command name. A command returns the
// process exit status: 0 success, 2 bad usage or unreadable input, 1 other
// failures; it prints its own messages (errors on stderr).
#pragma once

#include <string>
#include <vector>

namespace pellaro::cli {

using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* arguments;   // for the usage text, e.g. "FILE"
    const char* summary;
    CommandFn run;
};

struct CommandRegistration {
    explicit CommandRegistration(const Command& command);
};

// Registered commands, in registration order.
const std::vector<Command>& commands();

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// "pellaro-cli: <message>" on stderr.
void printError(const std::string& message);

// The arguments without `flag`, given anywhere among them; `present` says
// whether it was there.
std::vector<std::string> withoutFlag(const std::vector<std::string>& given, const std::string& flag, bool& present);

}   // namespace pellaro::cli

// The radio transfers: not part of every build (see the usage text).
int cliRead(const std::vector<std::string>& args);
int cliWrite(const std::vector<std::string>& args);
int cliVerify(const std::vector<std::string>& args);

namespace pellaro::cli {
// Usage of write and verify, for their registration and for the usage text
// of a build without them.
inline constexpr const char* kWriteArguments = "[--fast] [--verify] [--backup BACKUP.bc] DEVICE IN.bc";
inline constexpr const char* kWriteSummary =
    "write IN.bc to the radio on serial DEVICE (--fast: fast transfer; --backup: first read the radio "
    "into BACKUP.bc; --verify: then read it back and compare)";
inline constexpr const char* kVerifyArguments = "[--fast] DEVICE FILE.bc";
inline constexpr const char* kVerifySummary =
    "read the radio on serial DEVICE and print what writing FILE.bc would change in it; "
    "exit 1 if anything, 2 if unusable";
}   // namespace pellaro::cli
