// The end-to-end tests' hands and eyes inside Wine: starts the program under test and then
// answers commands read line by line from standard input, one reply line each on standard
// output. Usage: e2e-driver WORKING_DIR PROGRAM. The first reply line tells whether the
// program started ("ok PID"). The program is ended when the driver's input ends.
#include "Commands.h"
#include "ReplyText.h"
#include "TargetProcess.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void Reply(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    // The tests wait for each reply before they send the next command.
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        Reply(e2e::ErrorReply("usage: e2e-driver WORKING_DIR PROGRAM"));
        return 2;
    }
    e2e::TargetProcess target;
    std::string error;
    if (!target.Start(argv[2], argv[1], error)) {
        Reply(e2e::ErrorReply(error));
        return 1;
    }
    Reply(e2e::OkReply({std::to_string(target.Id())}));

    e2e::Commands commands(target);
    std::string line;
    while (!commands.QuitRequested() && std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Reply(commands.Run(line));
    }
    target.Terminate();
    return 0;
}
