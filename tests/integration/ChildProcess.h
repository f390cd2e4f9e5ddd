#pragma once

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace brisora::test {

/// Runs `command` in the shell; its standard output, trailing newlines removed.
inline std::string commandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), int(buffer.size()), pipe))
            out += buffer.data();
        ::pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

/// Polls `done` until it holds; false when `timeout` passed first.
template <typename Predicate> bool pollUntil(Predicate done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // poll cadence
    }
    return true;
}

/// A program started by the test, with its environment plus `extraEnvironment`
/// ("NAME=value" entries, which win over inherited ones). `handOver`, when not -1, becomes
/// the child's descriptor 3. Killed with SIGKILL if the test leaves it running.
class ChildProcess
{
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnvironment = {}, int handOver = -1)
    {
        std::vector<std::string> argStore{program};
        argStore.insert(argStore.end(), arguments.begin(), arguments.end());
        std::vector<std::string> envStore = extraEnvironment;
        for (char** entry = environ; *entry; ++entry) {
            const std::string line(*entry);
            const std::string name = line.substr(0, line.find('=') + 1);
            bool overridden = false;
            for (const std::string& extra : extraEnvironment)
                overridden = overridden || extra.rfind(name, 0) == 0;
            if (!overridden)
                envStore.push_back(line);
        }
        std::vector<char*> argv;
        for (std::string& arg : argStore)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& env : envStore)
            envp.push_back(env.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (handOver >= 0)
            ::posix_spawn_file_actions_adddup2(&actions, handOver, 3);
        if (::posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) !=
            0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess()
    {
        if (running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    bool running() const { return pid_ > 0 && !status_; }

    void signal(int number) const
    {
        if (running())
            ::kill(pid_, number);
    }

    /// The wait status once it has ended within `timeout`; nullopt if it is still running.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (running()) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = status;
            else if (std::chrono::steady_clock::now() >= deadline)
                break;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2)); // poll cadence
        }
        return status_;
    }

    /// How often the process's main thread has been switched out so far: each time it went
    /// to sleep and each time it was preempted.
    long contextSwitches() const
    {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/task/" + std::to_string(pid_) +
                             "/status");
        long total = 0;
        for (std::string line; std::getline(status, line);)
            if (line.find("ctxt_switches:") != std::string::npos)
                total += std::stol(line.substr(line.find(':') + 1));
        return total;
    }

    /// True once the process has installed handlers for every one of `numbers`: it reads
    /// the caught-signals mask that the kernel publishes.
    bool catches(std::initializer_list<int> numbers) const
    {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("SigCgt:", 0) != 0)
                continue;
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            for (const int number : numbers)
                if (!(mask & (1ULL << (number - 1))))
                    return false;
            return true;
        }
        return false;
    }

    /// Starts `program` with a pipe as its descriptor 3, on which a server tells where it
    /// listens once it does, and reads that first line into `announced` (empty when none
    /// comes within 10 s).
    static std::unique_ptr<ChildProcess> announcing(const std::string& program,
                                                    const std::vector<std::string>& arguments,
                                                    std::string& announced)
    {
        announced.clear();
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            return nullptr;
        auto child = std::make_unique<ChildProcess>(program, arguments, std::vector<std::string>{},
                                                    pipeEnds[1]);
        ::close(pipeEnds[1]);
        pollfd wait{pipeEnds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&wait, 1, 10000) == 1 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
            announced += c;
        ::close(pipeEnds[0]);
        return child;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

} // namespace brisora::test
