#include "stats/stats_text.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"

namespace orvix::stats {
namespace {

constexpr std::string_view kNone = "—";

// Characters, not bytes, of a UTF-8 text: what its width on a monospaced console is.
std::size_t Width(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string PadRight(std::string_view text, std::size_t width) {
    std::string out(text);
    out.append(width > Width(text) ? width - Width(text) : 0, ' ');
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width) {
    std::string out(width > Width(text) ? width - Width(text) : 0, ' ');
    out.append(text);
    return out;
}

std::string PValueText(const std::optional<double>& p, char decimal) {
    if (p && *p < 0.001) return std::string("< 0") + decimal + "001";
    return NumberText(p, 3, decimal);
}

std::string IntervalText(const std::optional<double>& low, const std::optional<double>& high,
                         int decimals, char decimal) {
    if (!low || !high) return "95 % ДИ не определён";
    return "95 % ДИ от " + NumberText(low, decimals, decimal) + " до " +
           NumberText(high, decimals, decimal);
}

std::string WelchText(std::string_view caption, const TWelch& w, int decimals, char decimal) {
    std::string line(caption);
    auto mean = [&](std::size_t count, double value) {
        return count ? NumberText(value, decimals, decimal) : std::string(kNone);
    };
    line += ": " + mean(w.EarlierCount, w.EarlierMean) + " → " + mean(w.LaterCount, w.LaterMean);
    line += ", разность " + (w.EarlierCount && w.LaterCount
                                 ? NumberText(w.Difference, decimals, decimal)
                                 : std::string(kNone));
    line += ", " + IntervalText(w.Low, w.High, decimals, decimal);
    if (w.PValue) {
        line += ", p " + std::string(*w.PValue < 0.001 ? "" : "= ") + PValueText(w.PValue, decimal);
        line += " (ст. св. = " + NumberText(w.Df, 1, decimal) + ")";
    }
    line +=
        " [n = " + std::to_string(w.EarlierCount) + " и " + std::to_string(w.LaterCount) + "]\n";
    return line;
}

}  // namespace

std::string NumberText(const std::optional<double>& value, int decimals, char decimal) {
    if (!value || !std::isfinite(*value)) return std::string(kNone);
    std::string text = FixedText(*value, decimals, decimal);
    // A value that rounds to zero is shown without a sign.
    if (text.front() == '-' &&
        text.find_first_not_of(std::string("0-") + decimal) == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string WorkCurveText(const TWorkCurve& curve, const TAccuracy& accuracy, char decimal) {
    std::string text = "Кривая работы: ";
    if (curve.Verdict == TVerdict::None)
        text += "не определена (меньше трёх пятисекундных интервалов)\n";
    else
        text += std::string(VerdictRussian(curve.Verdict)) + "\n";
    const TTrend& t = curve.Trend;
    text += "Наклон тренда темпа, выб./мин за минуту: ";
    if (t.Defined)
        text +=
            NumberText(t.Slope, 2, decimal) + ", " + IntervalText(t.Low, t.High, 2, decimal) + "\n";
    else
        text += std::string(kNone) + "\n";
    text += "Темп последней трети к первой: " + NumberText(curve.ThirdsRatio, 2, decimal) + "\n";
    text += "Коэффициент вариации темпа, %: " + NumberText(curve.TempoV, 1, decimal) + "\n";
    text +=
        "Доля найденных целей N+ / (N+ + Nпр): " + NumberText(accuracy.Accuracy, 3, decimal) + "\n";
    text += "Доля ошибочных выборов Nо.в. / (N+ + Nо.в.): " +
            NumberText(accuracy.WrongShare, 3, decimal) + "\n";
    text += "Выборов в минуту: " + NumberText(accuracy.SelectionsPerMinute, 2, decimal) + "\n";
    return text;
}

std::string RetestText(const TRetest& retest, std::string_view earlierName,
                       std::string_view laterName, char decimal) {
    std::string text = "Сравнение двух обследований (разность: повторное минус первое)\n";
    text += "Первое: " + std::string(earlierName) + "\n";
    text += "Повторное: " + std::string(laterName) + "\n\n";

    constexpr std::string_view kIndex = "Показатель";
    std::size_t nameWidth = Width(kIndex);
    for (const TIndexRow& row : retest.Rows) nameWidth = std::max(nameWidth, Width(row.Name));
    constexpr std::size_t kColumn = 12;
    text += PadRight(kIndex, nameWidth) + PadLeft("Первое", kColumn) +
            PadLeft("Повторное", kColumn) + PadLeft("Разность", kColumn) + "\n";
    for (const TIndexRow& row : retest.Rows) {
        text += PadRight(row.Name, nameWidth) +
                PadLeft(NumberText(row.Earlier, row.Decimals, decimal), kColumn) +
                PadLeft(NumberText(row.Later, row.Decimals, decimal), kColumn) +
                PadLeft(NumberText(row.Difference, row.Decimals, decimal), kColumn) + "\n";
    }
    text += "\nСравнение средних (t-критерий Уэлча):\n";
    text += WelchText("Время поиска, с", retest.Search, 3, decimal);
    text += WelchText("Темп, выборов за 5 с", retest.Tempo, 3, decimal);

    text += "\nКривая работы: первое — " +
            std::string(retest.EarlierCurve.Verdict == TVerdict::None
                            ? kNone
                            : VerdictRussian(retest.EarlierCurve.Verdict)) +
            ", повторное — " +
            std::string(retest.LaterCurve.Verdict == TVerdict::None
                            ? kNone
                            : VerdictRussian(retest.LaterCurve.Verdict)) +
            "\n";
    text += PadRight("Минута", 8) + PadLeft("Первое, выб./мин", 18) +
            PadLeft("Повторное, выб./мин", 22) + "\n";
    const std::size_t minutes =
        std::max(retest.EarlierCurve.Minutes.size(), retest.LaterCurve.Minutes.size());
    auto speed = [decimal](const std::vector<TMinute>& m, std::size_t i) {
        return i < m.size() ? NumberText(m[i].SelectionsPerMinute, 1, decimal) : std::string(kNone);
    };
    for (std::size_t i = 0; i < minutes; ++i) {
        text += PadRight(std::to_string(i + 1), 8) +
                PadLeft(speed(retest.EarlierCurve.Minutes, i), 18) +
                PadLeft(speed(retest.LaterCurve.Minutes, i), 22) + "\n";
    }
    return text;
}

}  // namespace orvix::stats
