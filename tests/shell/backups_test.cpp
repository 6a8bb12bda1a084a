#include "shell/backups.h"

#include "model/config_file.h"
#include "shell_test_support.h"

#include <QDir>

namespace vtl::test {
namespace {

class BackupsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        console_.manualCount = 2;
        console_.currentManual = 1;
        console_.Channels(2) = 0x0005;
    }

    QString Backup(const QString& name = {}) const {
        return scratch_.filePath(QStringLiteral("Backups/") + name);
    }

    QTemporaryDir scratch_{ScratchName()};
    ConsoleModel console_;
    const QDateTime now_{QDate(2024, 3, 5), QTime(7, 8, 9)};
};

TEST_F(BackupsTest, NamedAfterTheTimeAndTheNewestFiftyKept) {
    const QString taken = "VTL 2024-03-05 07-08-09.vtl";
    QStringList fortyNine;
    for (int i = 0; i < 49; ++i)
        fortyNine << QStringLiteral("VTL 2023-01-01 00-00-%1.vtl").arg(i + 10);
    QStringList olderFortyNine = fortyNine;
    olderFortyNine.replaceInStrings("2023", "2021");
    const struct {
        const char* name;
        QStringList given, removed;
        QString kept = "VTL 2024-03-05 07-08-09.vtl";
    } cases[] = {
        {"fewer than fifty", {"VTL 2023-01-01 00-00-00.vtl"}, {}},
        {"numbered when the name is taken", {taken}, {}, "VTL 2024-03-05 07-08-09-2.vtl"},
        {"numbered on",
         {taken, "VTL 2024-03-05 07-08-09-2.vtl"},
         {},
         "VTL 2024-03-05 07-08-09-3.vtl"},
        {"fifty and one",
         fortyNine + QStringList{"VTL 2022-12-31 23-59-59.vtl"},
         {"VTL 2022-12-31 23-59-59.vtl"}},
        {"a numbered copy is newer than its first",
         fortyNine.mid(1) +
             QStringList{"VTL 2023-01-01 00-00-00.vtl", "VTL 2023-01-01 00-00-00-2.vtl"},
         {"VTL 2023-01-01 00-00-00.vtl"}},
        {"only console files count", fortyNine + QStringList{"notes.txt", "a.vtl.bak"}, {}},
        {"many too many", fortyNine + olderFortyNine, olderFortyNine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(Backup()).removeRecursively());
        for (const QString& name : c.given)
            WriteText(FsPath(Backup(name)), "old\r\n");
        const auto kept = KeepBackup(console_, scratch_.path(), now_);
        ASSERT_TRUE(kept) << kept.error().message;
        EXPECT_EQ(*kept, Backup(c.kept));
        // The console file of the model, which is left as it was.
        ConsoleModel copy = console_;
        EXPECT_EQ(ReadText(FsPath(*kept)), *FormatConfigFile(copy));
        EXPECT_EQ(console_.currentManual, 1);

        QStringList expected = c.given + QStringList{c.kept};
        for (const QString& name : c.removed)
            expected.removeOne(name);
        expected.sort();
        QStringList files = QDir(Backup()).entryList(QDir::Files);
        files.sort();
        EXPECT_EQ(files, expected);
    }
}

TEST_F(BackupsTest, FailureIsReportedAndTheModelKept) {
    WriteText(FsPath(scratch_.filePath("Backups")), "not a folder");
    const auto kept = KeepBackup(console_, scratch_.path(), now_);
    ASSERT_FALSE(kept);
    EXPECT_NE(kept.error().message.find("Backups"), std::string::npos) << kept.error().message;
    EXPECT_EQ(console_.manualCount, 2);
    EXPECT_EQ(console_.Channels(2), 0x0005);
}

} // namespace
} // namespace vtl::test
