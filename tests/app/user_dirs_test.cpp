// The dialogs' start folders in the portable layout (folders beside the program) and in the
// installed one (program in bin/, samples in share/orvix-kl/Data, the user's files in the
// documents folder).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/user_dirs.h"

namespace orvix::test {
namespace {

class UserDirs : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(Path("usr/bin")));
        ASSERT_TRUE(QDir().mkpath(Path("home/Documents")));
    }
    QString Path(const QString& relative) const {
        return QDir::toNativeSeparators(root.filePath(relative));
    }
    // The program's folder as the window keeps it: native separators, a trailing one.
    QString ExeDir() const { return Path("usr/bin") + QDir::separator(); }
    QString Documents() const { return Path("home/Documents"); }
    QString Open() const { return user_dirs::OpenFolder(ExeDir(), Documents()); }
    QString Results() const { return user_dirs::ResultsFolder(ExeDir(), Documents()); }

    QTemporaryDir root;
};

TEST_F(UserDirs, PortableLayoutKeepsBothFoldersBesideTheProgram) {
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin/Data")));
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin/Results")));
    // Installed samples do not outrank the folder beside the program.
    ASSERT_TRUE(QDir().mkpath(Path("usr/share/orvix-kl/Data")));
    EXPECT_EQ(Open(), ExeDir() + "Data");
    EXPECT_EQ(Results(), ExeDir() + "Results");
    EXPECT_FALSE(QFileInfo::exists(Path("home/Documents/Results")));  // nothing made there
}

TEST_F(UserDirs, InstalledLayoutOpensTheSamplesAndSavesInTheDocuments) {
    ASSERT_TRUE(QDir().mkpath(Path("usr/share/orvix-kl/Data")));
    EXPECT_EQ(Open(), Path("usr/share/orvix-kl/Data"));
    EXPECT_EQ(Results(), Path("home/Documents/Results"));
    EXPECT_TRUE(QFileInfo(Path("home/Documents/Results")).isDir());  // made for the first save
    // Later saves find it there, with what earlier ones wrote.
    QFile saved(Path("home/Documents/Results/a.txt"));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    saved.close();
    EXPECT_EQ(Results(), Path("home/Documents/Results"));
    EXPECT_TRUE(saved.exists());
}

TEST_F(UserDirs, NormTablesBesideTheProgramThenInstalledThenTheDocuments) {
    const auto norms = [&] { return user_dirs::NormsFolder(ExeDir(), Documents()); };
    EXPECT_EQ(norms(), Documents());
    ASSERT_TRUE(QDir().mkpath(Path("usr/share/orvix-kl/norms")));
    EXPECT_EQ(norms(), Path("usr/share/orvix-kl/norms"));
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin/norms")));
    EXPECT_EQ(norms(), ExeDir() + "norms");
}

TEST_F(UserDirs, WithoutAnySamplesTheOpenDialogStartsInTheDocuments) {
    EXPECT_EQ(Open(), Documents());
    // Only a folder counts: a file called Data beside the program or at the samples' place
    // is passed over.
    QFile besideFile(Path("usr/bin/Data"));
    ASSERT_TRUE(besideFile.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir().mkpath(Path("usr/share/orvix-kl")));
    QFile sharedFile(Path("usr/share/orvix-kl/Data"));
    ASSERT_TRUE(sharedFile.open(QIODevice::WriteOnly));
    EXPECT_EQ(Open(), Documents());
}

TEST_F(UserDirs, DataBesideTheProgramWithoutResultsSavesInTheDocuments) {
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin/Data")));
    EXPECT_EQ(Open(), ExeDir() + "Data");
    EXPECT_EQ(Results(), Path("home/Documents/Results"));
    // A file called Results beside the program is no folder to save in either.
    QFile file(Path("usr/bin/Results"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(Results(), Path("home/Documents/Results"));
}

TEST_F(UserDirs, ReadOnlyResultsBesideTheProgramIsPassedOver) {
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin/Results")));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(Path("usr/bin/Results"), readOnly));
    QFile probe(Path("usr/bin/Results/probe"));
    const bool stillWritable = probe.open(QIODevice::WriteOnly);
    probe.close();
    const QString chosen = Results();
    QFile::setPermissions(Path("usr/bin/Results"), readOnly | QFile::WriteOwner);
    if (stillWritable) GTEST_SKIP() << "permissions do not bind this user (root)";
    EXPECT_EQ(chosen, Path("home/Documents/Results"));
}

TEST_F(UserDirs, DocumentsFolderMadeWithResultsAndAFailureLeavesThePath) {
    // A new account may have no documents folder yet.
    ASSERT_TRUE(QDir(Documents()).removeRecursively());
    EXPECT_EQ(Results(), Path("home/Documents/Results"));
    EXPECT_TRUE(QFileInfo(Path("home/Documents/Results")).isDir());
    // Where the folder cannot be made, its path still goes to the dialog.
    ASSERT_TRUE(QDir(Documents()).removeRecursively());
    QFile blocker(Documents());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(Results(), Path("home/Documents/Results"));
    EXPECT_FALSE(QFileInfo(Path("home/Documents/Results")).isDir());
}

}  // namespace
}  // namespace orvix::test
