// Runs a host tool of this build through the shell, for the tests of its
// command line.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ToolRun {
    int status;       // the exit code, -1 when it did not exit
    std::string out;  // all it printed, both streams
};

inline ToolRun RunHostTool(const std::string& tool, const std::string& arguments)
{
    std::string command = tool + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
