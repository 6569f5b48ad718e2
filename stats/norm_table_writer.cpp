#include "stats/norm_table_csv.h"
#include "stats/summary_figures.h"

namespace orvix::stats {
namespace {

class TWriter {
  public:
    explicit TWriter(char separator) : separator_(separator == ';' ? ';' : ',') {}

    void Text(std::string_view utf8) {
        Next();
        if (utf8.find_first_of(std::string("\"\r\n") + separator_) == std::string_view::npos) {
            out_ += utf8;
            return;
        }
        out_ += '"';
        for (const char c : utf8) {
            if (c == '"') out_ += '"';
            out_ += c;
        }
        out_ += '"';
    }

    void Number(const std::optional<double>& value) {
        if (!value) return Text({});
        std::string text = RealText(*value, kStatisticsDigits);
        if (separator_ == ';')
            for (char& c : text)
                if (c == '.') c = ',';
        Text(text);
    }

    void Whole(const std::optional<long long>& value) {
        Text(value ? std::to_string(*value) : std::string());
    }

    void EndRow() {
        out_ += "\r\n";
        first_ = true;
    }

    std::string Result() && { return std::move(out_); }

  private:
    void Next() {
        if (!first_) out_ += separator_;
        first_ = false;
    }

    char separator_;
    bool first_ = true;
    std::string out_;
};

}  // namespace

std::string WriteNormTable(const TNormTable& table, char separator) {
    TWriter w(separator);
    for (const char* name : {"norm_id", "version", "index", "sex", "age_from", "age_to", "group",
                             "n", "mean", "sd", "direction", "reliability", "source"})
        w.Text(name);
    for (const int rank : kPercentileRanks) w.Text("p" + std::to_string(rank));
    w.Text("date_from");
    w.Text("date_to");
    w.EndRow();
    for (const TNormRow& row : table.Rows) {
        w.Text(row.NormId);
        w.Text(row.Version);
        w.Text(row.Index);
        w.Text(SexName(row.Sex));
        w.Whole(row.AgeFrom);
        w.Whole(row.AgeTo);
        w.Text(row.Group);
        w.Whole(row.N);
        w.Number(row.Mean);
        w.Number(row.SD);
        w.Text(DirectionName(row.Direction));
        w.Number(row.Reliability);
        w.Text(row.Source);
        for (std::size_t k = 0; k < kPercentileRanks.size(); ++k)
            w.Number(row.Percentiles ? std::optional<double>((*row.Percentiles)[k]) : std::nullopt);
        w.Text(row.DateFrom);
        w.Text(row.DateTo);
        w.EndRow();
    }
    return std::move(w).Result();
}

}  // namespace orvix::stats
