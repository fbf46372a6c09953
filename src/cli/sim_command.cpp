#include <vector>

#include "cli/commands.h"
#include "sim/sim_main.h"

int RunSimCommand(CCliSession&, const CommandArgs& args) {
    std::vector<std::string> words;
    words.push_back("zr8 sim");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    return Zr8SimMain(static_cast<int>(words.size()), argv.data());
}
