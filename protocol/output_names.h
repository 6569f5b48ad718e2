// The names of the files saved for a protocol: its FileTag, made safe for a file name, and a
// fixed ending per kind of file.
#pragma once

#include <string>
#include <string_view>

namespace orvix::output {

inline constexpr std::string_view kReport = " KL.txt";
inline constexpr std::string_view kTempoPicture = " KL.5sec.gif";
inline constexpr std::string_view kSearchPicture = " KL.Choice.gif";
inline constexpr std::string_view kPdf = " KL.pdf";
inline constexpr std::string_view kPoints = " KL.csv";
inline constexpr std::string_view kComparePdf = " KL.compare.pdf";  // the retest comparison

// SafeFileName(fileTag) + ending, Windows-1251.
std::string FileName(std::string_view fileTag, std::string_view ending);

}  // namespace orvix::output
