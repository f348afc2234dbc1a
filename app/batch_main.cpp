// kalvoro-batch: the batch commands' own program, which `kalvoro totals|statements|estimate …`
// starts in its place (see main.cpp). It needs no window system and is the only program that
// carries the command line parser.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/batch/batch_commands.h"
#include "app/screens/main_routine.h"
#include "runtime/window/window.h"

int main(int argc, char** argv) {
    rt::SetRoutineTable(ApplicationRoutines());
    // A reader that goes away early (`kalvoro totals … | head`) would otherwise end the program
    // without a word and with a status a script may not look for; a write to it fails instead,
    // and the command says so and ends with 1, as for any output that could not be written.
    std::signal(SIGPIPE, SIG_IGN);
    if (argc < 2 || !IsBatchCommand(argv[1])) {
        std::cerr << "kalvoro-batch: started by kalvoro for its commands totals, statements and estimate\n";
        return 2;
    }
    return RunBatchCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
