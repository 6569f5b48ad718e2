// Who a protocol is of: the examinee's name read from its SubjectCaption, and the key that
// brings one person's tests together.
#pragma once

#include <string>
#include <string_view>

namespace orvix::archive {

struct TExamineeName {
    // Lower case, single spaces, "ё" as "е", initials without spaces between them
    // ("кузнецов е.в."). Tests whose keys are equal belong to one examinee.
    std::string Key;
    // The name as shown: the words as written, each with a capital first letter, initials
    // joined ("Кузнецов Е.В."); the normalised caption where no name was found.
    std::string Display;
    bool Found = false;  // a name was found (otherwise the whole caption is the key)
};

// The name in a SubjectCaption (UTF-8): a label ending in ":" ("Испытуемый:", "Ф.И.О.:") is
// skipped; the name is the run of words and initials from there that ends before a comma,
// a bracket, a word holding a digit, a word that is no name ("обследование", "лет", ...), at
// initials, or after three words. "Испытуемый: Кузнецов Е.В., обследование 10.03.2026" gives
// "кузнецов е.в."; "Петрова Анна Сергеевна, 29 лет" gives "петрова анна сергеевна". Where
// no name is found, the whole caption with whitespace and letter case normalised is the key.
TExamineeName ExamineeNameOf(std::string_view subjectUtf8);

// A name the user typed, normalised as keys are ("Кузнецов  Е. В." -> "кузнецов е.в.").
std::string NameKey(std::string_view nameUtf8);

// Lower case for Latin and Cyrillic letters (ё as е), other characters as they are (UTF-8).
std::string FoldCase(std::string_view utf8);

}  // namespace orvix::archive
