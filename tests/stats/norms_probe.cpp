// What the norms compute, for the independent check in Python (norms_check.py): local norms
// of the rows of a batch summary, and the scores of those rows against a norm table.
//
//   norms_probe local SUMMARY.csv OUT.csv
//   norms_probe scores NORMS.csv SUMMARY.csv   (prints file,index,z,T,percentile,stanine,sten,
//                                               band_low,band_high,warnings)
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>

#include "base/file_io.h"
#include "stats/csv_records.h"
#include "stats/local_norms.h"
#include "stats/norm_scores.h"
#include "stats/norm_table_csv.h"

namespace {
using namespace orvix::stats;

struct TSummaryRow {
    std::string File;
    std::vector<TCell> Figures;
};

// The rows with status "ok", their figures typed as the batch tool wrote them.
std::vector<TSummaryRow> ReadSummary(const std::string& path) {
    const TCsvSplit split = SplitCsv(orvix::ReadWholeFile(path), ',');
    std::vector<TSummaryRow> rows;
    if (split.Records.empty()) return rows;
    const auto& header = split.Records[0].Fields;
    auto column = [&](std::string_view name) -> std::size_t {
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i].Text == name) return i;
        throw std::runtime_error("no column " + std::string(name));
    };
    const std::size_t file = column("file");
    const std::size_t status = column("status");
    for (std::size_t r = 1; r < split.Records.size(); ++r) {
        const auto& f = split.Records[r].Fields;
        if (f.size() != header.size() || f[status].Text != "ok") continue;
        TSummaryRow row{f[file].Text, {}};
        for (const std::string_view name : kFigureColumns) {
            const std::string& text = f[column(name)].Text;
            double value = 0;
            const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
            if (text.empty())
                row.Figures.emplace_back();
            else if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size())
                row.Figures.push_back(TCell::Real(value));
            else
                row.Figures.push_back(TCell::Of(text));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string Number(const std::optional<double>& v) {
    if (!v) return {};
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, *v).ptr);
}

int Local(const std::string& summary, const std::string& out) {
    std::vector<TNormSample> samples;
    for (TSummaryRow& row : ReadSummary(summary)) samples.push_back({std::move(row.Figures), {}});
    TLocalNormGroup group;
    group.NormId = "local";
    group.Version = "1";
    group.Source = "generated protocols";
    orvix::WriteFileAtomically(out, WriteNormTable(BuildLocalNorms(samples, group).Table));
    return 0;
}

int Scores(const std::string& norms, const std::string& summary) {
    const TNormRead read = ReadNormTable(orvix::ReadWholeFile(norms));
    if (read.Error) {
        std::cerr << read.Error->Message << "\n";
        return 1;
    }
    const TNormLookup lookup(read.Table);
    std::cout << "file,index,z,T,percentile,stanine,sten,band_low,band_high,warnings\n";
    for (const TSummaryRow& row : ReadSummary(summary)) {
        for (const TNormScore& s : lookup.Score(TExaminee{}, row.Figures)) {
            std::string warnings;
            for (const TNormWarning w : s.Warnings) warnings += std::to_string(static_cast<int>(w));
            std::cout << row.File << ',' << s.Index << ',' << Number(s.Z) << ',' << Number(s.T)
                      << ',' << Number(s.Percentile) << ',' << s.Stanine << ',' << s.Sten << ','
                      << Number(s.BandLow) << ',' << Number(s.BandHigh) << ',' << warnings << '\n';
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "local") return Local(args[1], args[2]);
        if (args.size() == 3 && args[0] == "scores") return Scores(args[1], args[2]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::cerr << "usage: norms_probe local SUMMARY.csv OUT.csv | scores NORMS.csv SUMMARY.csv\n";
    return 2;
}
