#include "test_view.h"

#include <algorithm>
#include <numeric>

#include "archive/examinee_name.h"
#include "archive/private_file.h"

namespace orvix::archive {
namespace {

const stats::TCell kEmpty;

const stats::TCell& FigureOf(const TTestRow& row, std::size_t figure) {
    return figure < row.Figures.size() ? row.Figures[figure] : kEmpty;
}

// -1, 0, 1 for two cells of one column: numbers by value, texts by their folded text
// (`fa`, `fb`), with empty cells left out (the caller puts them last).
int CompareCells(const stats::TCell& a, const stats::TCell& b, const std::string& fa,
                 const std::string& fb) {
    if (a.IsNumber() && b.IsNumber()) return a.Value < b.Value ? -1 : b.Value < a.Value ? 1 : 0;
    if (a.IsNumber() != b.IsNumber()) return a.IsNumber() ? -1 : 1;
    const int c = fa.compare(fb);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

TTestView::TTestView(std::vector<TTestRow> rows) : rows_(std::move(rows)) {
    examineeKey_.reserve(rows_.size());
    fileTagKey_.reserve(rows_.size());
    fileKey_.reserve(rows_.size());
    for (const TTestRow& r : rows_) {
        examineeKey_.push_back(FoldCase(r.Examinee));
        fileTagKey_.push_back(FoldCase(r.FileTag));
        fileKey_.push_back(FoldCase(Utf8Path(r.File.filename())));
    }
    sorted_.resize(rows_.size());
    std::iota(sorted_.begin(), sorted_.end(), std::size_t{0});
    order_ = sorted_;
}

void TTestView::Sort(TTestColumn column, bool ascending) {
    using F = TTestColumn::TField;
    // A text figure's cells folded once, not at every comparison.
    std::vector<std::string> folded(rows_.size());
    if (column.Field == F::Figure)
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (FigureOf(rows_[i], column.Figure).Kind == stats::TCell::TKind::Text)
                folded[i] = FoldCase(FigureOf(rows_[i], column.Figure).Text);
    // Ties: examinee, date, file, so equal cells keep a meaningful order.
    auto tie = [&](std::size_t a, std::size_t b) {
        if (int c = examineeKey_[a].compare(examineeKey_[b])) return c < 0;
        if (int c = rows_[a].Date.compare(rows_[b].Date)) return c < 0;
        return fileKey_[a] < fileKey_[b];
    };
    // -1, 0, 1 by the column, and whether a row's cell is empty (always last).
    auto empty = [&](std::size_t i) {
        switch (column.Field) {
            case F::Examinee:
                return examineeKey_[i].empty();
            case F::Date:
                return rows_[i].Date.empty();
            case F::FileTag:
                return fileTagKey_[i].empty();
            case F::File:
                return fileKey_[i].empty();
            case F::Status:
                return false;
            case F::Figure:
                return FigureOf(rows_[i], column.Figure).Kind == stats::TCell::TKind::Empty;
        }
        return false;
    };
    auto compare = [&](std::size_t a, std::size_t b) -> int {
        auto three = [](const std::string& x, const std::string& y) {
            const int c = x.compare(y);
            return c < 0 ? -1 : c > 0 ? 1 : 0;
        };
        switch (column.Field) {
            case F::Examinee:
                return three(examineeKey_[a], examineeKey_[b]);
            case F::Date:
                return three(rows_[a].Date, rows_[b].Date);
            case F::FileTag:
                return three(fileTagKey_[a], fileTagKey_[b]);
            case F::File:
                return three(fileKey_[a], fileKey_[b]);
            case F::Status: {
                const auto sa = static_cast<int>(rows_[a].Status),
                           sb = static_cast<int>(rows_[b].Status);
                if (sa != sb) return sa < sb ? -1 : 1;
                return three(rows_[a].Message, rows_[b].Message);
            }
            case F::Figure:
                return CompareCells(FigureOf(rows_[a], column.Figure),
                                    FigureOf(rows_[b], column.Figure), folded[a], folded[b]);
        }
        return 0;
    };
    std::vector<char> isEmpty(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) isEmpty[i] = empty(i);
    std::stable_sort(sorted_.begin(), sorted_.end(), [&](std::size_t a, std::size_t b) {
        if (isEmpty[a] != isEmpty[b]) return isEmpty[b] != 0;
        if (!isEmpty[a]) {
            const int c = compare(a, b);
            if (c != 0) return ascending ? c < 0 : c > 0;
        }
        return tie(a, b);
    });
    Refresh();
}

void TTestView::Filter(std::string_view text) {
    filter_ = FoldCase(text);
    Refresh();
}

void TTestView::OnlyExaminee(std::optional<std::int64_t> examineeId) {
    examinee_ = examineeId;
    Refresh();
}

void TTestView::Refresh() {
    order_.clear();
    for (const std::size_t i : sorted_) {
        if (examinee_ && rows_[i].ExamineeId != *examinee_) continue;
        if (!filter_.empty() && examineeKey_[i].find(filter_) == std::string::npos &&
            fileTagKey_[i].find(filter_) == std::string::npos &&
            fileKey_[i].find(filter_) == std::string::npos)
            continue;
        order_.push_back(i);
    }
}

}  // namespace orvix::archive
