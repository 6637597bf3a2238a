#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/types.h>
#endif

namespace trayhound::crash {

// A child process, killed hard (SIGKILL, TerminateProcess) if it still runs when the object ends.
class ChildProcess {
  public:
#ifdef _WIN32
    // Starts the program with the arguments.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments);
#else
    // Runs `body` in a forked copy of this process, which ends with exit code 0 when it returns
    // and 1 when it throws.
    explicit ChildProcess(const std::function<void()>& body);
#endif
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Kills the process at once, with no chance to clean up, and waits until it is gone. Nothing
    // when it was killed; its exit code when it had already ended by itself.
    std::optional<int> Kill();
    // Waits for the process to end by itself; its exit code (-1 when a signal ended it).
    int Wait();
    // The exit code when the process has ended, nothing while it runs.
    std::optional<int> ExitCode();

  private:
#ifdef _WIN32
    HANDLE process_ = nullptr;
#else
    pid_t pid_ = -1;
#endif
};

}  // namespace trayhound::crash
