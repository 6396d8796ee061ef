#include "platform/shell.h"

#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace vidmora {
namespace {

constexpr const char* kDefaultOpener = "xdg-open";

// Set only by tests, before any opening.
std::string& shell_program() {
    static std::string program;
    return program;
}

bool is_executable_file(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// The opener's full path, looked up in PATH before forking: after fork only calls that are
// safe in a child of a threaded process may run, and execve is one of them, execvp is not.
std::string resolve_program(const std::string& name) {
    if (name.find('/') != std::string::npos) return is_executable_file(name) ? name : "";
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= dirs.size()) {
        std::size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(begin, end - begin);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (is_executable_file(candidate)) return candidate;
        begin = end + 1;
    }
    return "";
}

// The desktop expects UTF-8 arguments; our texts are GBK. Bytes that are not GBK go on as
// they are, since an opener may still make sense of them (a plain ASCII address always does).
std::string gbk_to_utf8(const Text& text) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) return text;
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 3 + 4, '\0');
    char* in_ptr = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    std::size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || in_left != 0) return text;
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace

void set_shell_program(const Text& program) {
    shell_program() = program;
}

bool shell_open(ShellOwner /*owner*/, const Text& target) {
    const std::string& configured = shell_program();
    std::string path = resolve_program(configured.empty() ? kDefaultOpener : configured);
    if (path.empty()) return false;
    std::string argument = gbk_to_utf8(target);
    std::vector<char*> argv = {path.data(), argument.data(), nullptr};

    // Double fork: the middle child starts the opener and ends at once, so the opener is
    // nobody's child of ours, leaves no zombie and the window only waits for the fork itself.
    pid_t middle = fork();
    if (middle < 0) return false;
    if (middle == 0) {
        setsid();
        pid_t opener = fork();
        if (opener == 0) {
            execve(path.c_str(), argv.data(), environ);
            _exit(127);
        }
        _exit(opener < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vidmora
