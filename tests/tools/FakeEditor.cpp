// A stand-in for a desktop editor, started by the tests through a desktop entry. What it does
// with the file it is given is told by FAKE_EDITOR_MODE:
//   unchanged  leaves the file alone
//   append     appends a line (the file's time changes)
//   fork       hands the file to a child of the same program and exits at once, as an editor
//              that passes files to its running instance does; the child appends a line
//   hold       keeps the file open while it runs
//   resave     appends a line, and another once told to stop, just before it ends (a user who
//              saves once more before closing the editor)
// It runs until the file FAKE_EDITOR_STOP exists, and writes "started FILE" to FAKE_EDITOR_LOG.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void WaitForStop()
{
    const std::string stop = Env("FAKE_EDITOR_STOP");
    struct stat st;
    for (int i = 0; i < 3000 && !stop.empty() && ::stat(stop.c_str(), &st) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void Append(const std::string& file)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1100)); // a later second than the copy's
    std::ofstream out(file, std::ios::app);
    out << "edited\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    const std::string file = argv[argc - 1];
    const std::string mode = Env("FAKE_EDITOR_MODE");
    {
        std::ofstream log(Env("FAKE_EDITOR_LOG"), std::ios::app);
        log << "started " << file << "\n";
    }
    if (mode == "fork" && Env("FAKE_EDITOR_CHILD").empty()) {
        if (::fork() == 0) {
            ::setenv("FAKE_EDITOR_CHILD", "1", 1);
            ::setsid();
            Append(file);
            WaitForStop();
            return 0;
        }
        return 0;
    }
    int held = -1;
    if (mode == "append" || mode == "resave") {
        Append(file);
    } else if (mode == "hold") {
        held = ::open(file.c_str(), O_RDONLY);
    }
    WaitForStop();
    if (mode == "resave") {
        std::ofstream out(file, std::ios::app);
        out << "saved again\n";
    }
    if (held >= 0) {
        ::close(held);
    }
    return 0;
}
