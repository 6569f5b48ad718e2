#include "examinee_name.h"

#include <algorithm>
#include <array>
#include <vector>

namespace orvix::archive {
namespace {

std::u32string Decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80         ? 0
                          : (b >> 5) == 6  ? 1
                          : (b >> 4) == 14 ? 2
                          : (b >> 3) == 30 ? 3
                                           : -1;
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        char32_t c = b & (extra == 0 ? 0x7F : extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07);
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            ok = (cb & 0xC0) == 0x80;
            c = (c << 6) | (cb & 0x3F);
        }
        // A malformed sequence stands for one replacement character per byte.
        out.push_back(ok ? c : U'\uFFFD');
        i += ok ? 1 + static_cast<std::size_t>(extra) : 1;
    }
    return out;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string Encode(const std::u32string& s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (const char32_t c : s) Encode(c, out);
    return out;
}

char32_t Lower(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c == 0x401 || c == 0x451) return 0x435;  // Ё, ё -> е
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

// Lower case that keeps "ё" apart from "е", for the names shown.
char32_t LowerKeepingYo(char32_t c) {
    return c == 0x401 || c == 0x451 ? char32_t{0x451} : Lower(c);
}

std::u32string LowerKeepingYo(std::u32string_view s) {
    std::u32string out(s);
    for (char32_t& c : out) c = LowerKeepingYo(c);
    return out;
}

char32_t Upper(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

bool IsLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= 0x400 && c <= 0x45F) ||
           (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == 0xA0;
}

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// Characters that end the name: what follows them is something else.
bool EndsName(char32_t c) {
    return std::u32string_view(U",;()[]{}/|\"\u00AB\u00BB\u2014\u2013").find(c) !=
           std::u32string_view::npos;
}

std::u32string Folded(std::u32string_view s) {
    std::u32string out(s);
    for (char32_t& c : out) c = Lower(c);
    return out;
}

// Words that stand before a name as its label, and words that are no names.
bool IsLabelWord(const std::u32string& folded) {
    static const std::array<std::u32string, 14> kLabels = {
        U"испытуемый", U"испытуемая", U"обследуемый", U"обследуемая", U"пациент",
        U"пациентка",  U"клиент",     U"клиентка",    U"фио",         U"ф.и.о.",
        U"ф.и.о",      U"subject",    U"name",        U"patient"};
    return std::find(kLabels.begin(), kLabels.end(), folded) != kLabels.end();
}

bool IsNoName(const std::u32string& folded) {
    static const std::array<std::u32string, 26> kWords = {
        U"обследование", U"обследования", U"тест",      U"ретест", U"повторно", U"повторное",
        U"повторный",    U"первичное",    U"первичный", U"лет",    U"год",      U"года",
        U"возраст",      U"дата",         U"класс",     U"группа", U"школа",    U"г",
        U"гр",           U"test",         U"retest",    U"date",   U"age",      U"years",
        U"class",        U"group"};
    return std::find(kWords.begin(), kWords.end(), folded) != kWords.end();
}

enum class TKind { Word, Initials, Other };

struct TToken {
    std::u32string Text;
    TKind Kind = TKind::Other;
    bool EndsWithDot = false;
};

// "Е.В.", "Е.", "Е.В", or one capital letter alone.
bool IsInitials(const std::u32string& t) {
    if (t.size() == 1) return IsLetter(t[0]) && Upper(t[0]) == t[0] && Lower(t[0]) != t[0];
    for (std::size_t i = 0; i < t.size(); i += 2) {
        if (!IsLetter(t[i])) return false;
        if (i + 1 < t.size() && t[i + 1] != U'.') return false;
    }
    return t.size() >= 2;
}

TToken Classify(std::u32string t) {
    TToken token;
    if (IsInitials(t)) {
        token.Kind = TKind::Initials;
        token.Text = std::move(t);
        return token;
    }
    if (!t.empty() && t.back() == U'.') {
        token.EndsWithDot = true;
        t.pop_back();
    }
    bool word = !t.empty() && IsLetter(t.front()) && IsLetter(t.back());
    for (const char32_t c : t)
        if (!IsLetter(c) && c != U'-' && c != U'\'' && c != 0x2019) word = false;
    token.Kind = word ? TKind::Word : TKind::Other;
    token.Text = std::move(t);
    return token;
}

// The tokens up to the first character that ends a name.
std::vector<std::u32string> Tokens(std::u32string_view s) {
    std::vector<std::u32string> tokens;
    std::u32string current;
    for (const char32_t c : s) {
        if (EndsName(c)) break;
        if (IsSpace(c)) {
            if (!current.empty()) tokens.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) tokens.push_back(std::move(current));
    return tokens;
}

// Initials as letters each followed by a dot, folded or upper case.
std::u32string InitialsText(const std::u32string& t, bool upper) {
    std::u32string out;
    for (const char32_t c : t)
        if (IsLetter(c)) {
            out.push_back(upper ? Upper(c) : Lower(c));
            out.push_back(U'.');
        }
    return out;
}

std::u32string TitleWord(const std::u32string& folded) {
    std::u32string out = folded;
    bool start = true;
    for (char32_t& c : out) {
        if (start && IsLetter(c)) c = Upper(c);
        start = c == U'-';
    }
    return out;
}

std::u32string CollapseSpaces(std::u32string_view s) {
    std::u32string out;
    for (const char32_t c : s) {
        if (IsSpace(c)) {
            if (!out.empty() && out.back() != U' ') out.push_back(U' ');
        } else {
            out.push_back(c);
        }
    }
    if (!out.empty() && out.back() == U' ') out.pop_back();
    return out;
}

// The name's words (folded) and initials (folded, dotted) from the tokens; empty when none.
bool FindName(const std::vector<std::u32string>& raw, std::vector<std::u32string>& words,
              std::vector<std::u32string>& initials) {
    std::vector<TToken> tokens;
    for (const auto& t : raw) tokens.push_back(Classify(t));
    std::size_t i = 0;
    while (i < tokens.size() && tokens[i].Kind != TKind::Other &&
           IsLabelWord(Folded(tokens[i].Text) + (tokens[i].EndsWithDot ? U"." : U"")))
        ++i;
    auto usableWord = [&](std::size_t k) {
        return k < tokens.size() && tokens[k].Kind == TKind::Word &&
               !IsNoName(Folded(tokens[k].Text));
    };
    auto takeInitials = [&](std::size_t& k) {
        while (k < tokens.size() && tokens[k].Kind == TKind::Initials)
            initials.push_back(tokens[k++].Text);
    };
    if (i < tokens.size() && tokens[i].Kind == TKind::Initials) {
        takeInitials(i);
        if (usableWord(i)) words.push_back(tokens[i].Text);
        return !words.empty();
    }
    while (usableWord(i) && words.size() < 3) {
        words.push_back(tokens[i].Text);
        if (tokens[i++].EndsWithDot) return true;
    }
    if (!words.empty()) takeInitials(i);
    return !words.empty();
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
    // On the bytes: Latin and Cyrillic capitals are single-byte and two-byte sequences whose
    // lower-case letters are at fixed distances (the same mapping as Lower).
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 'A' && b <= 'Z') {
            out.push_back(static_cast<char>(b + 32));
            continue;
        }
        if ((b == 0xD0 || b == 0xD1) && i + 1 < utf8.size()) {
            const auto n = static_cast<unsigned char>(utf8[i + 1]);
            if ((n & 0xC0) == 0x80) {
                char32_t c = Lower(static_cast<char32_t>(((b & 0x1F) << 6) | (n & 0x3F)));
                Encode(c, out);
                ++i;
                continue;
            }
        }
        out.push_back(static_cast<char>(b));
    }
    return out;
}

TExamineeName ExamineeNameOf(std::string_view subjectUtf8) {
    const std::u32string caption = Decode(subjectUtf8);
    std::u32string_view rest = caption;
    // A label before a colon: a few words without digits.
    if (const auto colon = caption.find(U':'); colon != std::u32string::npos) {
        const std::u32string_view label = std::u32string_view(caption).substr(0, colon);
        const bool digits = std::any_of(label.begin(), label.end(), IsDigit);
        if (!digits && Tokens(label).size() <= 3)
            rest = std::u32string_view(caption).substr(colon + 1);
    }
    std::vector<std::u32string> words, initials;
    TExamineeName name;
    if (FindName(Tokens(rest), words, initials)) {
        // The key folds "ё" to "е"; the name shown keeps the caption's spelling.
        std::u32string key, display;
        for (const auto& w : words) {
            if (!key.empty()) key += U' ', display += U' ';
            key += Folded(w);
            display += TitleWord(LowerKeepingYo(w));
        }
        if (!initials.empty()) {
            key += U' ', display += U' ';
            for (const auto& t : initials) {
                key += InitialsText(t, false);
                display += InitialsText(t, true);
            }
        }
        name.Key = Encode(key);
        name.Display = Encode(display);
        name.Found = true;
        return name;
    }
    const std::u32string whole = CollapseSpaces(caption);
    name.Key = Encode(Folded(whole));
    name.Display = Encode(whole);
    return name;
}

std::string NameKey(std::string_view nameUtf8) {
    const TExamineeName name = ExamineeNameOf(nameUtf8);
    return name.Key;
}

}  // namespace orvix::archive
