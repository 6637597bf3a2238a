#include "ChildProcess.h"

#include <stdexcept>

#ifdef _WIN32
#include "support/win32/Text.h"
#else
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace trayhound::crash {

#ifdef _WIN32

namespace {
constexpr UINT kKilledExitCode = 0xDEAD;
}

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    for (const auto& argument : arguments) commandLine += L" \"" + ToWide(argument) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &created)) {
        throw std::runtime_error("CreateProcessW failed, error " + std::to_string(GetLastError()));
    }
    CloseHandle(created.hThread);
    process_ = created.hProcess;
}

ChildProcess::~ChildProcess() {
    if (process_ == nullptr) return;
    TerminateProcess(process_, kKilledExitCode);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
}

std::optional<int> ChildProcess::Kill() {
    const bool terminated = TerminateProcess(process_, kKilledExitCode) != 0;
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    if (terminated && code == kKilledExitCode) return std::nullopt;
    return static_cast<int>(code);
}

int ChildProcess::Wait() {
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

std::optional<int> ChildProcess::ExitCode() {
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) return std::nullopt;
    return Wait();
}

#else

namespace {
int CodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

ChildProcess::ChildProcess(const std::function<void()>& body) {
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        int code = 0;
        try {
            body();
        } catch (...) {
            code = 1;
        }
        // No destructors, no test framework clean-up: this is a copy of the test process.
        _exit(code);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
}

std::optional<int> ChildProcess::Kill() {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return std::nullopt;
    return CodeOf(status);
}

int ChildProcess::Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return CodeOf(status);
}

std::optional<int> ChildProcess::ExitCode() {
    if (pid_ <= 0) return std::nullopt;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return std::nullopt;
    pid_ = -1;
    return CodeOf(status);
}

#endif

}  // namespace trayhound::crash
