// The reliable change of a retest against norms (Jacobson and Truax): for every index of the
// norm table with a value in both tests and a row with SD and reliability that matches the
// examinee at the earlier test, the change measured against the norm group's measurement error.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "protocol/analysis.h"
#include "stats/norm_input.h"
#include "stats/norm_scores.h"

namespace orvix::stats {

struct TChangeLine {
    std::string_view Index;    // the column
    std::string_view Caption;  // Russian
    int Decimals = 2;
    double Earlier = 0;
    double Later = 0;
    double SD = 0;  // of the norm row
    double Reliability = 0;
    TReliableChange Change;  // signed by the row's direction: positive is better
};

struct TRetestNorms {
    TExaminee Examinee;  // at the earlier test
    std::vector<TChangeLine> Lines;
    // Captions of the indices left out: the matched row lacks SD or reliability; or a test
    // lacks the figure.
    std::vector<std::string_view> NoError;
    std::vector<std::string_view> NoValue;
    std::vector<std::string> Warnings;  // Russian, each starting with its index's caption
    std::vector<TNormSource> Sources;
};

// Both results must come from complete analyses.
TRetestNorms CompareWithNorms(const TAnalysisResult& earlier, const TAnalysisResult& later,
                              const TNormInput& input);

// "надёжное улучшение", "надёжное ухудшение" or "в пределах погрешности".
std::string_view ChangeVerdict(const TReliableChange& change) noexcept;

}  // namespace orvix::stats
