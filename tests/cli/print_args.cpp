// print_args OUT ARG...: writes each ARG as the batch tool reads it (UTF-8), each followed by a
// zero byte, into the file OUT.
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/console.h"

int main(int argc, char** argv) {
    const auto args = orvix::Utf8Arguments(argc, argv);
    if (args.empty()) return 2;
    std::ofstream out(std::filesystem::path(std::u8string(args[0].begin(), args[0].end())),
                      std::ios::binary);
    for (std::size_t i = 1; i < args.size(); ++i) out << args[i] << '\0';
    return out ? 0 : 1;
}
