// What every command group of torvaset-cli shares: strict option checking (an unknown
// option or an extra word is a usage error, exit 2), the serial line's --baud rule, the
// reason line printed after a system message, and the one line a successful job ends with.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace torva::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The options one command accepts: flags stand alone, value options take the next word
// (or "--name=value"). "--help" and "-h" are always accepted.
struct CommandOptions {
  std::vector<std::string> flags;
  std::vector<std::string> values;
  size_t nMaxPositionals = 0;
};

// False with the problem in error for an option the command does not know, a value option
// without its value, a flag given a value, or more than nMaxPositionals other words.
bool CheckArgs(const Args& args, const CommandOptions& options, std::string& error);

// Prints "torvaset-cli COMMAND: PROBLEM" and the usage text to stderr; returns kExitUsage.
int UsageError(const std::string& command, const std::string& problem, const std::string& usage);

// The model code of --model NAME; false with a message in error when the name is missing or
// no model line knows it (a typo must not run the job under another line's rules).
bool ParseModelOption(const Args& args, int& modelCode, std::string& error);

// The baud rates the connection dialog offers, fastest first.
const std::vector<int>& AcceptedBaudRates();
// One of AcceptedBaudRates; false with a message naming them in error otherwise.
bool ParseBaudRate(const std::string& text, int& baud, std::string& error);

// "PATH: the system's error text" for a file or device that failed with errorCode (the path
// alone for 0).
std::string FileReason(const std::string& path, int errorCode);
// FileReason for a file that cannot be opened for reading; empty when it can.
std::string ReadReason(const std::string& path);
// "ADDR:PORT: the socket error" in lower case ("127.0.0.1:6002: connection refused").
std::string NetworkReason(const std::string& host, int port, const std::string& socketError);
// The line after a system message that says what a user can act on.
void PrintReason(const std::string& reason);
// The one line a successful job ends with ("3 images printed").
void PrintDone(const std::string& line);
// "1 image" / "3 images".
std::string CountOf(int count, const char* singular, const char* plural);

}  // namespace torva::cli
