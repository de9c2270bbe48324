#include "tools/common/process.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Reads what is left in fd, up to a few kilobytes, and closes it.
std::string Drain(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (text.size() < 8192) text.append(buffer, size_t(n));
    }
    close(fd);
    return text;
}

std::string FirstLine(const std::string& text)
{
    size_t end = text.find_first_of("\r\n");
    return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

int RunCommand(const Command& command, std::string* error)
{
    if (command.args.empty()) {
        *error = "no program to run";
        return 0;
    }
    const std::string& program = command.args[0];
    std::vector<char*> argv;
    for (const std::string& a : command.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The environment: this process's, with the command's settings in place
    // of any of the same name.
    std::vector<std::string> settings = command.environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const char* eq = strchr(*e, '=');
        size_t nameLength = eq == nullptr ? strlen(*e) : size_t(eq - *e);
        bool replaced = false;
        for (const std::string& s : command.environment) {
            replaced = replaced || (s.size() > nameLength && s.compare(0, nameLength, *e, nameLength) == 0 &&
                                    s[nameLength] == '=');
        }
        if (!replaced) settings.push_back(*e);
    }
    std::vector<char*> envp;
    for (const std::string& s : settings) envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);

    int errPipe[2];
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        *error = program + ": " + strerror(errno);
        return 0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const char* out = command.outputPath.empty() ? "/dev/null" : command.outputPath.c_str();
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(errPipe[1]);
    if (spawned != 0) {
        close(errPipe[0]);
        *error = program + ": " + strerror(spawned) + (spawned == ENOENT ? " (is it installed?)" : "");
        return 0;
    }
    std::string errors = Drain(errPipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            *error = program + ": " + strerror(errno);
            return 0;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return 1;
    // A program that cannot be executed at all exits 127 from the child.
    *error = program + ": " +
             (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                : "killed by signal " + std::to_string(WTERMSIG(status)));
    std::string line = FirstLine(errors);
    if (!line.empty()) *error += ": " + line;
    return 0;
}
