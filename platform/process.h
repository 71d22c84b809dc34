// Starting and waiting for a child process (tests that need a second
// process re-launch their own executable).
#pragma once

#include <string>
#include <vector>

namespace platform {

// The full path of the running executable; empty when unknown.
std::string CurrentExecutablePath();

struct ChildProcess;

// Starts program with the arguments (argv[1..]) and, in the child only, the
// environment variables given as "NAME=value". Null on failure.
ChildProcess* StartChildProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& environment);

// Waits for the child to end, returns its exit code (-1 on failure or a
// signal) and frees the handle.
int WaitChildProcess(ChildProcess* child);

// Sets (or with value null removes) a variable of this process.
void SetEnvironmentValue(const char* name, const char* value);
// The value of a variable, empty when unset.
std::string EnvironmentValue(const char* name);

}  // namespace platform
