// Plays a worker from a script given as arguments, one step each:
//   out:TEXT    TEXT and a line end on stdout        err:TEXT   the same on stderr
//   raw:TEXT    TEXT on stdout without a line end    long:N     a line of N bytes on stdout
//   expect:TEXT read a line from stdin; exit 3 when it is another
//   env:NAME    {"message":"<value of NAME>"} on stdout
//   hang        wait forever, reading nothing       crash      abort
//   exit:N      end with status N
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        const std::string::size_type colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const std::string text = colon == std::string::npos ? std::string() : step.substr(colon + 1);
        if (verb == "out" || verb == "raw") {
            std::fputs((text + (verb == "out" ? "\n" : "")).c_str(), stdout);
            std::fflush(stdout);
        } else if (verb == "err") {
            std::fputs((text + "\n").c_str(), stderr);
            std::fflush(stderr);
        } else if (verb == "long") {
            std::fputs((std::string(std::stoul(text), 'x') + "\n").c_str(), stdout);
            std::fflush(stdout);
        } else if (verb == "expect") {
            std::string line;
            if (!std::getline(std::cin, line) || line != text) {
                std::fprintf(stderr, "expected \"%s\", read \"%s\"\n", text.c_str(), line.c_str());
                return 3;
            }
        } else if (verb == "env") {
            const char *value = std::getenv(text.c_str());
            std::printf("{\"message\":\"%s\"}\n", value ? value : "");
            std::fflush(stdout);
        } else if (verb == "hang") {
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(1));
        } else if (verb == "crash") {
            std::abort();
        } else if (verb == "exit") {
            return std::atoi(text.c_str());
        }
    }
    return 0;
}
