#include "support/grid/external_tool.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mg_test {

namespace {

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

ToolResult RunExternalTool(const std::string& program, const std::vector<std::string>& args)
{
    ToolResult result;
    if (!ToolIsInstalled(program)) {
        result.err = "cannot run " + program + ": no such executable";
        return result;
    }

    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        throw std::runtime_error("pipe failed");
    }

    std::vector<std::string> argStrings;
    argStrings.push_back(program);
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        const char msg[] = "exec failed\n";
        (void)!::write(STDERR_FILENO, msg, sizeof(msg) - 1);
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    int fds[2] = {outPipe[0], errPipe[0]};
    std::string* sinks[2] = {&result.out, &result.err};
    while (fds[0] >= 0 || fds[1] >= 0) {
        pollfd pfd[2];
        nfds_t n = 0;
        int which[2];
        for (int i = 0; i < 2; ++i)
            if (fds[i] >= 0) {
                pfd[n] = pollfd{fds[i], POLLIN, 0};
                which[n++] = i;
            }
        if (::poll(pfd, n, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (nfds_t k = 0; k < n; ++k) {
            if (!(pfd[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[4096];
            const ssize_t got = ::read(pfd[k].fd, buf, sizeof(buf));
            if (got > 0)
                sinks[which[k]]->append(buf, static_cast<size_t>(got));
            else if (got == 0 || errno != EINTR)
                CloseFd(fds[which[k]]);
        }
    }
    CloseFd(fds[0]);
    CloseFd(fds[1]);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool ToolIsInstalled(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

ScratchDir::ScratchDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "qv_grid_files_XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a scratch folder: " + std::string(std::strerror(errno)));
    m_path = tmpl;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace mg_test
