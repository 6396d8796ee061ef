// Binding in a fresh process: where a library is looked for, and what a missing library or
// entry point does. Each case starts the probe program from a prepared folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int exit_code = -1;
    std::string out;
    std::string err;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs `program` with `args` and LD_LIBRARY_PATH set to `search_path` alone.
Outcome run(const std::string& program, const std::vector<std::string>& args,
            const std::string& search_path) {
    char out_name[] = "/tmp/vidmora_probe_outXXXXXX";
    char err_name[] = "/tmp/vidmora_probe_errXXXXXX";
    const int out_fd = mkstemp(out_name);
    const int err_fd = mkstemp(err_name);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_fd, STDOUT_FILENO);
        dup2(err_fd, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const std::string path_var = "LD_LIBRARY_PATH=" + search_path;
        char* envp[] = {const_cast<char*>(path_var.c_str()), nullptr};
        execve(program.c_str(), argv.data(), envp);
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(out_fd);
    close(err_fd);
    Outcome outcome;
    outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    outcome.out = read_file(out_name);
    outcome.err = read_file(err_name);
    std::remove(out_name);
    std::remove(err_name);
    return outcome;
}

struct Case {
    const char* name;
    const char* program;
    std::vector<std::string> args;
    const char* search_path;
    int exit_code;
    std::string out;               // expected standard output
    std::vector<std::string> err;  // texts standard error must hold
};

TEST(Binding, LooksBesideTheProgramFirstAndFailsAtTheFirstCallOfAMissingEntry) {
    const Case cases[] = {
        {"the copy beside the program wins over the one on the search path",
         PROBE_BESIDE,
         {"init"},
         MARKER_ON_PATH_DIR,
         0,
         "1\n",
         {}},
        {"with none beside the program the search path is used",
         PROBE_ALONE,
         {"init"},
         MARKER_ON_PATH_DIR,
         0,
         "2\n",
         {}},
        {"gzip.so missing: the program runs until its first decompression",
         PROBE_ALONE,
         {"decompress"},
         EMPTY_DIR,
         255,
         "started\n",
         {"gzip.so", "InitDecompression"}},
        {"gzip.so without the entry point",
         PROBE_ALONE,
         {"bind", "9"},
         MARKER_ON_PATH_DIR,
         255,
         "",
         {"gzip.so", "CreateDecompression"}},
        {"wininet.so missing",
         PROBE_BESIDE,
         {"bind", "0"},
         EMPTY_DIR,
         255,
         "",
         {"wininet.so", "InternetOpenA"}},
        {"the real gzip.so decodes",
         PROBE_ALONE,
         {"decompress"},
         REAL_GZIP_DIR,
         0,
         "started\n17\n",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = run(c.program, c.args, c.search_path);
        EXPECT_EQ(o.exit_code, c.exit_code) << o.err;
        EXPECT_EQ(o.out, c.out);
        for (const std::string& text : c.err)
            EXPECT_NE(o.err.find(text), std::string::npos) << o.err;
    }
}

}  // namespace
