#include "protocol_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>

#include "base/cp1251.h"
#include "base/file_io.h"
#include "protocol/protocol.h"

namespace orvix::protogen {
namespace {

// A small deterministic random source (the standard distributions differ between libraries).
class Random {
  public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    double Uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    int Between(int low, int high) {  // inclusive
        return low + static_cast<int>(Uniform() * (high - low + 1));
    }
    double Normal() {
        const double u = 1.0 - Uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * Uniform());
    }

  private:
    std::mt19937_64 engine_;
};

std::string Fixed(double value, int decimals, char decimal, int width = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, value);
    std::string s(buf);
    for (char& c : s)
        if (c == '.') c = decimal;
    return s;
}

// The value of a number Fixed wrote with ".".
double ValueOf(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const char* const kSurnames[] = {"Петров",  "Смирнова", "Кузнецов", "Волкова",
                                 "Соколов", "Орлова",   "Лебедев",  "Морозова"};
const char* const kInitials[] = {"А.С.", "Е.В.", "И.П.", "М.Н.", "О.Г.", "Т.Ю."};

}  // namespace

std::string TProtocolText::Text() const {
    std::string out;
    std::size_t size = 0;
    for (const auto& l : Head) size += l.size() + 2;
    for (const auto& l : Records) size += l.size() + 2;
    for (const auto& l : Omissions) size += l.size() + 2;
    out.reserve(size + 64);
    auto add = [&](const std::string& l) { out.append(l).append("\r\n"); };
    for (const auto& l : Head) add(l);
    for (const auto& l : Records) add(l);
    for (const auto& l : Gap) add(l);
    for (const auto& l : Omissions) add(l);
    if (!TerminateLastLine && out.size() >= 2) out.resize(out.size() - 2);
    return out;
}

std::string RecordLine(std::int32_t ring, std::string_view timer, std::string_view searchTime,
                       std::string_view freeText) {
    char ringField[32];
    std::snprintf(ringField, sizeof ringField, "%8d", static_cast<int>(ring));
    std::string line(ringField);
    auto padLeft = [&](std::string_view s, std::size_t width) {
        if (s.size() < width) line.append(width - s.size(), ' ');
        line.append(s);
    };
    padLeft(timer, 7);
    padLeft(searchTime, 13);
    line.push_back(' ');
    line.append(freeText);
    return line;
}

TProtocolText BasicProtocol() {
    TProtocolText p;
    p.Head[0] = W1251("Протокол обследования по методике \"Кольца Ландольта\"");
    p.Head[1] = W1251("Тестовый протокол");
    p.Head[2] = W1251("Испытуемый: Тестовый И.И.");
    p.Head[3] = W1251("Бланк N 1");
    p.Head[4] = "3";
    p.Head[6] = W1251("Время работы: 1 мин");
    p.Head[7] = W1251("Просмотрено строк: 2");
    p.Head[8] = W1251("Просмотрено колец: 40");
    p.Head[9] = "98";
    p.Head[10] = W1251("Результаты:");
    p.Head[11] = "2";
    p.Head[12] = "0";
    p.Head[13] = "0";
    p.Head[14] = W1251("N+ = 2");
    p.Head[16] = W1251("Коэффициент точности");
    p.Head[17] = "1.00";
    p.Head[19] = W1251("Среднее время поиска, сек:");
    p.Head[20] = "2.0";
    p.Head[21] = "1.0";
    p.Head[22] = "Mean = 2.0, SD = 1.0";
    p.Head[24] = "0";
    p.Head[25] = W1251("Время поиска колец");
    p.Head[26] = W1251("  Кольцо Таймер  Время поиска Выбор");
    p.Gap = {"", W1251("Пропущенные кольца:"), "", ""};
    return p;
}

TProtocolText GenerateProtocol(const TGenerateOptions& options) {
    Random random(options.Seed * 0x9E3779B97F4A7C15ull + 17);
    const std::int32_t target =
        options.TargetSelections > 0 ? options.TargetSelections : random.Between(200, 600);
    const double duration =
        options.DurationSeconds > 0 ? options.DurationSeconds : 60.0 * random.Between(5, 10);
    const char dec = options.Decimal;
    const std::string surname =
        !options.Surname.empty() ? options.Surname : W1251(kSurnames[random.Between(0, 7)]);
    const std::string initials = W1251(kInitials[random.Between(0, 5)]);
    const int day = random.Between(1, 28);
    const int month = random.Between(1, 12);
    char date[32];
    std::snprintf(date, sizeof date, "%02d.%02d.2026", day, month);
    const int orientation = random.Between(1, 8);

    // The examinee walks the field ring by ring; about one ring in eight is a target. The
    // mean search time grows by half over the test (fatigue); a few targets are passed over
    // (omissions) and a few other rings are selected by mistake.
    const double slowing = 0.5;
    const double base = duration / target / (1.0 + slowing / 2.0);
    struct Selection {
        std::int32_t ring;
        double timer;
        double search;
        bool correct;
    };
    std::vector<Selection> selections;
    std::vector<std::int32_t> omitted;
    std::int32_t ring = 0;
    double t = 0;
    double last = 0;
    auto searchTime = [&](double at) {
        const double mean = base * (1.0 + slowing * at / duration);
        const double s = mean * std::exp(0.45 * random.Normal() - 0.1);
        return std::max(0.15, s);
    };
    for (;;) {
        int gap = 1;
        while (random.Uniform() > 0.125) ++gap;
        ring += gap;
        if (random.Uniform() < 0.04) {
            omitted.push_back(ring);
            continue;
        }
        // A wrong selection takes the ring just before the target; right after the previous
        // target (selected or omitted) that ring would be a target itself, so none is made there.
        if (random.Uniform() < 0.03 && gap > 1) {
            t += searchTime(t);
            if (t >= duration) break;
            selections.push_back({ring - 1, t, t - last, false});
            last = t;
        }
        t += searchTime(t);
        if (t >= duration) break;
        selections.push_back({ring, t, t - last, true});
        last = t;
    }
    while (!omitted.empty() && !selections.empty() && omitted.back() > selections.back().ring)
        omitted.pop_back();

    // The stored figures are those of the records as written: each search time rounded to
    // the thousandths its column holds. One selection has no spread (SD 0); none has neither a
    // mean nor a spread (both 0).
    int plus = 0;
    int wrong = 0;
    std::vector<std::string> searchTexts;
    searchTexts.reserve(selections.size());
    double sum = 0;
    for (const auto& s : selections) {
        (s.correct ? plus : wrong) += 1;
        searchTexts.push_back(Fixed(s.search, 3, '.'));
        sum += ValueOf(searchTexts.back());
    }
    const std::size_t count = selections.size();
    const double mean = count > 0 ? sum / static_cast<double>(count) : 0.0;
    double squares = 0;
    for (const auto& text : searchTexts) {
        const double d = ValueOf(text) - mean;
        squares += d * d;
    }
    const double sd = count > 1 ? std::sqrt(squares / static_cast<double>(count - 1)) : 0.0;
    const int omit = static_cast<int>(omitted.size());
    const int rows = ring / 40 + 1;
    // The work time in whole minutes, at least one: T (ten per minute) divides the
    // impulsivity index, so a test under a minute must not get T = 0.
    const int minutes = std::max(1, static_cast<int>(std::lround(duration / 60)));

    TProtocolText p;
    p.Head[0] = W1251("Протокол обследования по методике \"Кольца Ландольта\"");
    p.Head[1] = surname + " " + initials + " " + date;
    p.Head[2] = W1251("Испытуемый: ") + surname + " " + initials + W1251(", обследование ") + date;
    p.Head[3] = W1251("Бланк N 2, поле 40 x 40 колец");
    p.Head[4] = std::to_string(orientation);
    p.Head[6] = W1251("Время работы: ") + std::to_string(minutes) + W1251(" мин");
    p.Head[7] = W1251("Просмотрено строк: ") + std::to_string(rows);
    p.Head[8] = W1251("Просмотрено колец: ") + std::to_string(ring);
    p.Head[9] = std::to_string(minutes * 10);
    p.Head[10] = W1251("Правильно выбрано (N+), пропущено (Nпр), ошибочно выбрано (Nо.в.):");
    p.Head[11] = std::to_string(plus);
    p.Head[12] = std::to_string(omit);
    p.Head[13] = std::to_string(wrong);
    p.Head[14] = W1251("N+ = ") + std::to_string(plus) + W1251(", Nпр = ") + std::to_string(omit) +
                 W1251(", Nо.в. = ") + std::to_string(wrong);
    p.Head[16] = W1251("Коэффициент точности");
    p.Head[17] = Fixed(plus / std::max(1.0, static_cast<double>(plus + omit + wrong)), 2, dec);
    p.Head[19] = W1251("Среднее время поиска кольца и стандартное отклонение, сек:");
    p.Head[20] = Fixed(mean, 3, dec);
    p.Head[21] = Fixed(sd, 3, dec);
    p.Head[22] = "Mean = " + Fixed(mean, 3, dec) + ", SD = " + Fixed(sd, 3, dec);
    p.Head[24] = std::to_string(selections.size());
    p.Head[25] = W1251("Время поиска колец");
    p.Head[26] = W1251("  Кольцо Таймер  Время поиска Выбор");
    p.Records.reserve(selections.size());
    for (const auto& s : selections) {
        p.Records.push_back(RecordLine(s.ring, Fixed(s.timer, 1, '.'), Fixed(s.search, 3, dec),
                                       s.correct ? " +" : " -"));
    }
    p.Gap = {"", W1251("Пропущенные кольца:"), W1251("Всего: ") + std::to_string(omit), ""};
    for (const auto r : omitted) p.Omissions.push_back(std::to_string(r));
    return p;
}

std::string Scramble(std::string_view text) {
    return DescrambleText(text);
}

void WriteProtocolFile(const TProtocolText& protocol, const std::filesystem::path& path) {
    WriteFileAtomically(path, Scramble(protocol.Text()));
}

}  // namespace orvix::protogen
