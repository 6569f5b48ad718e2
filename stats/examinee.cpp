#include "stats/examinee.h"

#include <cstdio>

namespace orvix::stats {
namespace {

bool Leap(int year) noexcept {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int year, int month) noexcept {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && Leap(year) ? 29 : kDays[month - 1];
}

bool Digits(std::string_view text) noexcept {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int Value(std::string_view digits) noexcept {
    int v = 0;
    for (const char c : digits) v = v * 10 + (c - '0');
    return v;
}

}  // namespace

std::optional<TDate> ParseDate(std::string_view text) noexcept {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const std::string_view y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
    if (!Digits(y) || !Digits(m) || !Digits(d)) return std::nullopt;
    const TDate date{Value(y), Value(m), Value(d)};
    if (date.Year < 1 || date.Month < 1 || date.Month > 12 || date.Day < 1 ||
        date.Day > DaysIn(date.Year, date.Month))
        return std::nullopt;
    return date;
}

std::string DateText(const TDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return text;
}

std::optional<int> AgeInYears(const TDate& birth, const TDate& test) noexcept {
    if (test < birth) return std::nullopt;
    int age = test.Year - birth.Year;
    // Before this year's birthday. 29 February sorts after 28 February, so in a year without
    // it the birthday comes on 1 March.
    if (test.Month < birth.Month || (test.Month == birth.Month && test.Day < birth.Day)) --age;
    return age;
}

TExaminee ExamineeAt(const TExamineeData& data, const std::optional<TDate>& testDate) {
    TExaminee e;
    e.Sex = data.Sex;
    e.Group = data.Group;
    if (data.BirthDate && testDate) e.Age = AgeInYears(*data.BirthDate, *testDate);
    return e;
}

std::string YearsText(int years) {
    const int last = years % 10;
    const int lastTwo = years % 100;
    const char* word = "лет";
    if (last == 1 && lastTwo != 11)
        word = "год";
    else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        word = "года";
    return std::to_string(years) + " " + word;
}

std::string ExamineeText(const TExaminee& examinee) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += ", ";
        text += part;
    };
    if (examinee.Sex != TSex::Any)
        add(examinee.Sex == TSex::Female ? "пол женский" : "пол мужской");
    if (examinee.Age) add(YearsText(*examinee.Age));
    if (!examinee.Group.empty()) add("группа «" + examinee.Group + "»");
    return text.empty() ? "данные обследуемого не указаны" : text;
}

}  // namespace orvix::stats
