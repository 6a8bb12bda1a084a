// The single-instance socket: in a folder only this user may enter, open to its owner only,
// and never in a folder that anybody else could have made or opened.

#include "shell/single_instance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace vtl::test {
namespace {

// The type and permission bits of a path this user owns; 0 for anything else.
unsigned OwnMode(const QString& path) {
    struct stat info {};
    const bool own =
        ::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid == ::geteuid();
    return own ? info.st_mode : 0;
}

void SetMode(const QString& path, mode_t mode) {
    EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

TEST(SingleInstance, SocketOnlyForItsUser) {
    const QByteArray temp = qgetenv("TMPDIR"), runtime = qgetenv("XDG_RUNTIME_DIR");
    const struct {
        const char* name;
        const char* runtime; // XDG_RUNTIME_DIR: "runtime" (0700), "open" (0755), "link" or none
        bool tempTaken;      // "vtlconfig-<uid>" in the temporary folder exists, open to all
        const char* folder;  // of the socket: "runtime", "own" (tmp/vtlconfig-<uid>) or none
    } cases[] = {
        {"runtime folder", "runtime", false, "runtime"},
        {"runtime folder open to others", "open", false, "own"},
        {"runtime folder a link", "link", false, "own"},
        {"no runtime folder", nullptr, false, "own"},
        {"temporary folder taken: every copy runs alone", nullptr, true, nullptr},
    };
    const QTemporaryDir scratch; // made while the temporary folder is still the test's own
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QDir dir(scratch.filePath(QString::number(&c - cases)));
        const QString own = dir.filePath(QStringLiteral("tmp/vtlconfig-%1").arg(::geteuid()));
        EXPECT_TRUE(dir.mkpath("runtime") && dir.mkpath("open") && dir.mkpath("tmp") &&
                    QFile::link(dir.filePath("runtime"), dir.filePath("link")));
        SetMode(dir.filePath("runtime"), 0700);
        SetMode(dir.filePath("open"), 0755);
        if (c.tempTaken && dir.mkpath(own)) SetMode(own, 0777);
        qputenv("TMPDIR", dir.filePath("tmp").toUtf8());
        qputenv("XDG_RUNTIME_DIR", c.runtime ? dir.filePath(c.runtime).toUtf8() : QByteArray());

        SingleInstance first("VTLConfig"), second("VTLConfig");
        EXPECT_FALSE(first.AnotherInstance());
        EXPECT_EQ(second.AnotherInstance(), c.folder != nullptr);
        const QString folder = !c.folder                        ? QString()
                               : c.folder == std::string("own") ? own
                                                                : dir.filePath(c.folder);
        EXPECT_EQ(first.ServerName().section('/', 0, -2).toStdString(), folder.toStdString());
        if (!c.folder) continue;
        EXPECT_EQ(OwnMode(folder), S_IFDIR | 0700u);
        EXPECT_EQ(OwnMode(first.ServerName()), S_IFSOCK | 0700u);
    }
    qputenv("TMPDIR", temp); // the other tests' scratch folders
    qputenv("XDG_RUNTIME_DIR", runtime);
}

} // namespace
} // namespace vtl::test
