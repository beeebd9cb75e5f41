#include "app/ShellFileTypes.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The desktop of a user of our own making: two programs for text files (one the default),
// templates, and a Japanese language choice. The desktop database is read once per process, so
// one test sets it all up before the first lookup.
TEST(ShellFileTypesTest, LookupsFollowTheUsersDesktop)
{
    QTemporaryDir home;
    const QString data = home.filePath(QStringLiteral("data"));
    const QString config = home.filePath(QStringLiteral("config"));
    const QString templates = home.filePath(QStringLiteral("テンプレート"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("LANGUAGE", "ja");
    // The system's type database without the system's programs, which would join ours.
    const QString system = home.filePath(QStringLiteral("system"));
    ASSERT_TRUE(QDir().mkpath(system));
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/mime"), system + QStringLiteral("/mime")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(system));
    WriteTestFile(
        data + QStringLiteral("/applications/kbx-a.desktop"),
        "[Desktop Entry]\nType=Application\nName=Editor A\nExec=/bin/cat %f\nMimeType=text/plain;\n");
    WriteTestFile(
        data + QStringLiteral("/applications/kbx-b.desktop"),
        "[Desktop Entry]\nType=Application\nName=Editor B\nExec=/bin/ls %f\nMimeType=text/plain;\n");
    WriteTestFile(
        data + QStringLiteral("/applications/kbx-c.desktop"), // the same program again
        "[Desktop Entry]\nType=Application\nName=Editor C\nExec=/bin/cat --x %f\nMimeType=text/plain;\n");
    // The index the desktop's package tools keep of which entries declare which types.
    WriteTestFile(data + QStringLiteral("/applications/mimeinfo.cache"),
                  "[MIME Cache]\ntext/plain=kbx-a.desktop;kbx-b.desktop;kbx-c.desktop;\n");
    WriteTestFile(config + QStringLiteral("/mimeapps.list"),
                  "[Default Applications]\ntext/plain=kbx-b.desktop\n");
    WriteTestFile(config + QStringLiteral("/user-dirs.dirs"),
                  "XDG_TEMPLATES_DIR=\"" + QFile::encodeName(templates) + "\"\n");
    WriteTestFile(templates + QStringLiteral("/メモ.txt"), "");
    WriteTestFile(templates + QStringLiteral("/報告.TXT"), "template body");
    WriteTestFile(templates + QStringLiteral("/table.kbxnone"), "no program opens this");

    QString name;
    ASSERT_EQ(GetTypeName(QStringLiteral(".txt"), &name), 0);
    EXPECT_FALSE(name.isEmpty());
    EXPECT_GT(name.front().unicode(), 0x7f) << name.toStdString(); // in Japanese
    EXPECT_EQ(GetTypeName(QStringLiteral(".kbxnone"), &name), -1);

    OpenWithPrograms programs;
    ASSERT_EQ(GetOpenWithList(QStringLiteral(".txt"), false, &programs), 0);
    EXPECT_EQ(programs.names, (QStringList{QStringLiteral("Editor B"), QStringLiteral("Editor A")}));
    EXPECT_EQ(programs.paths, (QStringList{QStringLiteral("/bin/ls"), QStringLiteral("/bin/cat")}));
    EXPECT_EQ(GetOpenWithList(QStringLiteral(".kbxnone"), false, &programs), -1);
    ASSERT_EQ(GetOpenWithList(QStringLiteral("kbxnone"), true, &programs), 0); // the text program stands in
    EXPECT_EQ(programs.names, QStringList{QStringLiteral("Editor B")});

    ShellNewTemplate found;
    ASSERT_EQ(GetShellNewTemplate(QStringLiteral(".txt"), &found), 0);
    EXPECT_EQ(found.kind, QStringLiteral("NullFile")); // メモ.txt comes first and is empty
    EXPECT_EQ(GetShellNewTemplate(QStringLiteral(".doc"), &found), -1);
    EXPECT_EQ(ListNewFileTypes(), QStringList{QStringLiteral(".txt")}); // .kbxnone has no program
}
