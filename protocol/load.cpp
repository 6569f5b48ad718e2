#include "load.h"

#include "protocol.h"

namespace orvix {
namespace {

void Analyse(TLoadedProtocol& loaded) {
    loaded.FileTag = loaded.Protocol.LineAt(line::kFileTag);
    loaded.Subject = loaded.Protocol.LineAt(line::kSubject);
    loaded.Analysis = AnalyseProtocol(loaded.Protocol);
}

}  // namespace

TLoadedProtocol AnalyseText(std::string descrambled) {
    TLoadedProtocol loaded;
    loaded.Protocol.ReplaceText(std::move(descrambled));
    Analyse(loaded);
    return loaded;
}

TLoadedProtocol LoadAndAnalyse(const std::filesystem::path& path) {
    TLoadedProtocol loaded;
    LoadProtocol(loaded.Protocol, path);
    Analyse(loaded);
    return loaded;
}

}  // namespace orvix
