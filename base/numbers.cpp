#include "numbers.h"

#include <array>
#include <atomic>
#include <string>

#include "errors.h"

namespace orvix {
namespace {

std::atomic<char> gDecimalChar{'.'};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// 10^0 .. 10^27 are exact in extended precision (5^27 < 2^64).
constexpr int kExactPowers = 28;
constexpr std::array<Extended, kExactPowers> MakePowers() {
    std::array<Extended, kExactPowers> p{};
    Extended v = 1;
    for (int i = 0; i < kExactPowers; ++i) {
        p[i] = v;
        v *= 10;
    }
    return p;
}
constexpr auto kPowers = MakePowers();

Extended PowerOfTen(std::int64_t n) {
    if (n < kExactPowers) return kPowers[static_cast<std::size_t>(n)];
    return std::pow(Extended{10}, static_cast<Extended>(n));
}

// mantissa × 10^exponent, dividing by an exact power where possible so that short decimal
// fractions come out correctly rounded. Returns infinity beyond the extended range.
Extended Compose(Extended mantissa, std::int64_t exponent) {
    if (mantissa == 0) return 0;
    if (exponent >= 0) {
        if (exponent > 10000) return HUGE_VALL;
        return mantissa * PowerOfTen(exponent);
    }
    std::int64_t down = -exponent;
    if (down > 20000) return 0;
    while (down > 4000) {
        mantissa /= PowerOfTen(4000);
        down -= 4000;
    }
    return mantissa / PowerOfTen(down);
}

// The mantissa digits as one decimal integer. Digits accumulate in a 64-bit integer while it
// is exact, then in extended precision; both give the same value, since the extended format
// holds every integer below 2^64 exactly.
class Mantissa {
  public:
    void Add(int digit) {
        if (!wide_) {
            if (exact_ < kLimit) {
                exact_ = exact_ * 10 + static_cast<std::uint64_t>(digit);
                return;
            }
            wide_ = true;
            value_ = static_cast<Extended>(exact_);
        }
        value_ = value_ * 10 + digit;
    }
    Extended Value() const { return wide_ ? value_ : static_cast<Extended>(exact_); }

  private:
    static constexpr std::uint64_t kLimit = 1844674407370955161ull;  // (2^64 - 1) / 10
    std::uint64_t exact_ = 0;
    Extended value_ = 0;
    bool wide_ = false;
};

// Takes the digits starting at text[i]; returns how many were taken.
std::size_t TakeDigits(std::string_view text, std::size_t& i, Mantissa& mantissa) {
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) {
        mantissa.Add(text[i] - '0');
        ++i;
    }
    return i - start;
}

int Position(std::size_t index) {
    return static_cast<int>(index) + 1;
}

// Skips blanks (code 32 only) from text[i].
void SkipBlanks(std::string_view text, std::size_t& i) {
    while (i < text.size() && text[i] == ' ') ++i;
}

// Takes an optional "+" or "-" at text[i]; true for "-".
bool TakeSign(std::string_view text, std::size_t& i) {
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
    return false;
}

}  // namespace

char DecimalChar() noexcept {
    return gDecimalChar.load(std::memory_order_relaxed);
}
void SetDecimalChar(char c) noexcept {
    gDecimalChar.store(c, std::memory_order_relaxed);
}

char DecimalCharFor(std::string_view localeDecimalPoint) noexcept {
    return localeDecimalPoint.size() == 1 ? localeDecimalPoint[0] : '.';
}

int ScanInt(std::string_view text, std::int32_t& value) noexcept {
    value = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    SkipBlanks(text, i);
    if (i == n) return Position(i);

    bool hex = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        hex = true;
        ++i;
    } else if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (hex) {
        if (i == n) return Position(i);
        std::uint32_t pattern = 0;
        int significant = 0;
        for (; i < n; ++i) {
            const int d = HexValue(text[i]);
            if (d < 0) return Position(i);
            if (significant > 0 || d != 0) {
                if (++significant > 8) return Position(i);
            }
            pattern = (pattern << 4) | static_cast<std::uint32_t>(d);
        }
        value = static_cast<std::int32_t>(pattern);
        return 0;
    }

    const bool negative = TakeSign(text, i);
    if (i == n) return Position(i);
    std::int64_t magnitude = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i])) return Position(i);
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{2147483648}) return Position(i);
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647) return Position(n - 1);
    value = static_cast<std::int32_t>(signedValue);
    return 0;
}

std::int32_t ParseInt(std::string_view text) {
    std::int32_t value = 0;
    if (ScanInt(text, value) != 0)
        throw EConvertError(WithArgument(msg::kInvalidInteger, std::string(text)));
    return value;
}

int ScanReal(std::string_view text, Extended& value) noexcept {
    value = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    SkipBlanks(text, i);
    const bool negative = TakeSign(text, i);
    if (i == n) return Position(i);

    Mantissa mantissa;
    TakeDigits(text, i, mantissa);
    std::int64_t fraction = 0;
    if (i < n && text[i] == '.') {
        ++i;
        fraction = static_cast<std::int64_t>(TakeDigits(text, i, mantissa));
    }
    std::int64_t exponent = 0;
    std::size_t exponentAt = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        exponentAt = i;
        ++i;
        const bool negativeExponent = TakeSign(text, i);
        if (i == n) return Position(i);
        if (!IsDigit(text[i])) return Position(i);
        while (i < n && IsDigit(text[i])) {
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i < n) return Position(i);

    const Extended v = Compose(mantissa.Value(), exponent - fraction);
    if (std::isinf(v)) return Position(exponentAt);
    value = negative ? -v : v;
    return 0;
}

Extended ParseReal(std::string_view text, char decimal) {
    auto invalid = [&]() -> EConvertError {
        return EConvertError(WithArgument(msg::kInvalidFloat, std::string(text)));
    };
    std::size_t i = 0;
    const std::size_t n = text.size();
    SkipBlanks(text, i);
    const bool negative = TakeSign(text, i);
    Mantissa mantissa;
    std::size_t taken = TakeDigits(text, i, mantissa);
    std::int64_t fraction = 0;
    if (i < n && text[i] == decimal) {
        ++i;
        ++taken;
        fraction = static_cast<std::int64_t>(TakeDigits(text, i, mantissa));
    }
    if (taken == 0) throw invalid();
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        const bool negativeExponent = TakeSign(text, i);
        while (i < n && IsDigit(text[i]) && exponent < 500) {
            exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (negativeExponent) exponent = -exponent;
    }
    SkipBlanks(text, i);
    if (i != n) throw invalid();

    const Extended v = Compose(mantissa.Value(), exponent - fraction);
    if (std::isinf(v) || std::isnan(v)) throw invalid();
    return negative ? -v : v;
}

}  // namespace orvix
