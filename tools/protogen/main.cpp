// protogen: writes realistic scrambled sample protocols (--plain: descrambled, as seeds for
// the protocol fuzzer).
//   protogen [--seed=N] [--count=N] [--selections=N] [--seconds=S] [--decimal=C] [--plain]
//            OUT_DIR
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/errors.h"
#include "base/file_io.h"
#include "tools/protogen/protocol_writer.h"

int main(int argc, char** argv) {
    using namespace orvix::protogen;
    TGenerateOptions options;
    int count = 1;
    bool plain = false;
    const char* out = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            const std::size_t len = std::strlen(name);
            return a.compare(0, len, name) == 0 ? argv[i] + len : nullptr;
        };
        if (const char* v = value("--seed="))
            options.Seed = std::strtoull(v, nullptr, 10);
        else if (const char* v = value("--count="))
            count = std::atoi(v);
        else if (const char* v = value("--selections="))
            options.TargetSelections = std::atoi(v);
        else if (const char* v = value("--seconds="))
            options.DurationSeconds = std::atof(v);
        else if (const char* v = value("--decimal="))
            options.Decimal = *v ? *v : '.';
        else if (a == "--plain")
            plain = true;
        else if (a.rfind("--", 0) != 0 && !out)
            out = argv[i];
        else {
            std::fprintf(stderr, "protogen: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (!out || count < 1) {
        std::fprintf(stderr,
                     "usage: protogen [--seed=N] [--count=N] [--selections=N] [--seconds=S] "
                     "[--decimal=C] [--plain] OUT_DIR\n");
        return 2;
    }
    try {
        std::filesystem::create_directories(out);
        for (int k = 0; k < count; ++k) {
            TGenerateOptions o = options;
            o.Seed = options.Seed + static_cast<std::uint64_t>(k);
            char name[64];
            std::snprintf(name, sizeof name, "protocol-%03llu%s.klp",
                          static_cast<unsigned long long>(o.Seed),
                          o.Decimal == ',' ? "-comma" : "");
            const TProtocolText protocol = GenerateProtocol(o);
            const std::filesystem::path path = std::filesystem::path(out) / name;
            if (plain)
                orvix::WriteFileAtomically(path, protocol.Text());
            else
                WriteProtocolFile(protocol, path);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "protogen: %s\n", e.what());
        return 1;
    }
    return 0;
}
