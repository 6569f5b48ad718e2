// A temporary folder with generated protocols and an archive database for the tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "archive/archive.h"
#include "archive/private_file.h"
#include "base/cp1251.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::archive::test {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-archive-" + std::to_string(std::random_device{}()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "in");
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path In() const { return dir_ / "in"; }
    fs::path Db() const { return dir_ / "db" / "archive.db"; }

    // A generated protocol (seed picks the examinee and date) written under in/.
    fs::path Protocol(const fs::path& relative, std::uint64_t seed,
                      const std::string& surname1251 = {}) {
        protogen::TGenerateOptions o;
        o.Seed = seed;
        o.Surname = surname1251;
        return Write(relative, protogen::GenerateProtocol(o));
    }
    fs::path Write(const fs::path& relative, const protogen::TProtocolText& p) {
        const fs::path path = In() / relative;
        fs::create_directories(path.parent_path());
        protogen::WriteProtocolFile(p, path);
        return path;
    }

    TScanCounts Scan(TArchive& a, char decimal = '.') {
        TScanOptions o;
        o.Decimal = decimal;
        return a.Scan({In()}, o);
    }

    // The row of `file`, which must be in the index.
    static TTestRow RowOf(TArchive& a, const fs::path& file) {
        for (TTestRow& r : a.Tests())
            if (r.File == fs::absolute(file).lexically_normal()) return r;
        ADD_FAILURE() << "not in the index: " << file;
        return {};
    }

    fs::path dir_;
};

}  // namespace orvix::archive::test
