// Loading a protocol file: read, descramble, analyse. The one load that the window, the batch
// tool, the tests and the benchmarks share.
#pragma once

#include <filesystem>
#include <string>

#include "analysis.h"
#include "line_buffer.h"

namespace orvix {

struct TLoadedProtocol {
    TLineBuffer Protocol;  // the descrambled text, read line by line
    std::string FileTag;   // line 1: the stem of every output file name
    std::string Subject;   // line 2: the examinee, in the report and both chart feet
    TAnalysis Analysis;    // as far as it got; a failed step is kept, not thrown
};

// Reads the file (exactly its bytes), descrambles and analyses it. A file that cannot be read
// throws ("Cannot open file %s", "Text exceeds memo capacity") before anything is analysed.
TLoadedProtocol LoadAndAnalyse(const std::filesystem::path& path);

// The same for a protocol text already descrambled.
TLoadedProtocol AnalyseText(std::string descrambled);

}  // namespace orvix
