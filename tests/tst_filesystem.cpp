// The POSIX file system on real files in a temporary directory.
#include "core/error.h"
#include "platform/qt/localfilesystem.h"
#include "platform/qt/qstringconversion.h"
#include "core/unicode.h"
#include "core/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using core::Error;
using qtplatform::toQString;
using qtplatform::toU16String;
using Selector = platform::FileSystem::Selector;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestFileSystem final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    qtplatform::LocalFileSystem m_files;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    std::u16string nativePath(const QString &name) const { return toU16String(path(name)); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void executableDirectoryIsTheBinarysNotTheWorkingDirectory()
    {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const QString reported = toQString(m_files.executableDirectory());
        QDir::setCurrent(before);
        QCOMPARE(reported, QCoreApplication::applicationDirPath());
        QVERIFY(!reported.endsWith(QChar(m_files.pathSeparator())));
        QCOMPARE(QChar(m_files.pathSeparator()), QDir::separator());
    }

    // Both selectors find the regular files, and nothing else.
    void existenceTest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");

        QTest::newRow("regular file") << "regular" << true;
        QTest::newRow("empty regular file") << "empty" << true;
        QTest::newRow("link to a regular file") << "link-to-regular" << true;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("directory") << "directory" << false;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("dangling link") << "dangling" << false;
        QTest::newRow("link to a directory") << "link-to-directory" << false;
        QTest::newRow("below a regular file") << "regular/below" << false;
    }

    void existenceTest()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        if (!QFile::exists(path("regular"))) {
            writeBytes(path("regular"), "x");
            writeBytes(path("empty"), "");
            QVERIFY(QFile::link(path("regular"), path("link-to-regular")));
            QVERIFY(QDir(m_dir.path()).mkdir("directory"));
            QVERIFY(QFile::link(path("directory"), path("link-to-directory")));
            QVERIFY(QFile::link(path("nowhere"), path("dangling")));
            QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        }
        QCOMPARE(m_files.fileExists(nativePath(name), Selector::Archive), exists);
        QCOMPARE(m_files.fileExists(nativePath(name), Selector::Normal), exists);
    }

    // The line's bytes as the file holds them; decoding is the record's.
    void firstLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("line");

        QTest::newRow("LF") << QByteArray("uno;dos\ntres") << QByteArray("uno;dos");
        QTest::newRow("CRLF") << QByteArray("uno;dos\r\ntres") << QByteArray("uno;dos");
        QTest::newRow("lone CR") << QByteArray("uno;dos\rtres") << QByteArray("uno;dos");
        QTest::newRow("no line break") << QByteArray("uno;dos") << QByteArray("uno;dos");
        QTest::newRow("LF before a later CR") << QByteArray("uno\ndos\rtres") << QByteArray("uno");
        // The file is read in steps of 256 kB.
        const QByteArray longLine(300 * 1024, 'm');
        QTest::newRow("break in a later step") << longLine + "\r\nx" << longLine;
        QTest::newRow("long line, no break") << longLine << longLine;
        QTest::newRow("empty first line") << QByteArray("\nuno") << QByteArray();
        QTest::newRow("byte-order mark dropped") << QByteArray("\xef\xbb\xbfhola\n") << QByteArray("hola");
        QTest::newRow("bytes that are no UTF-8 kept") << QByteArray("Jos\xe9;a\xff" "b\n")
                                                      << QByteArray("Jos\xe9;a\xff" "b");
        QTest::newRow("NUL kept") << QByteArray("a\0b\n", 4) << QByteArray("a\0b", 3);
    }

    void firstLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, line);
        writeBytes(path("line"), bytes);
        QCOMPARE(QByteArray::fromStdString(m_files.readFirstLine(nativePath("line"))), line);
    }

    // A folder's name is bytes, in whatever encoding its maker used: the
    // notification in it is found, read and deleted all the same.
    void folderNamedInAnyEncoding_data()
    {
        QTest::addColumn<QByteArray>("folder");

        QTest::newRow("UTF-8") << QByteArray("Jos\xc3\xa9");
        QTest::newRow("Latin-1") << QByteArray("Jos\xe9");
        QTest::newRow("a UTF-8 character cut short") << QByteArray("caf\xc3");
        QTest::newRow("an encoded surrogate") << QByteArray("\xed\xb2\x80");
    }

    void folderNamedInAnyEncoding()
    {
        QFETCH(QByteArray, folder);
        const QByteArray directory = QFile::encodeName(m_dir.path()) + '/' + folder;
        QCOMPARE(::mkdir(directory.constData(), 0700), 0);
        const QByteArray file = directory + "/MI.zorvi";
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "k;d\n", 4), ssize_t(4));
        ::close(fd);

        const std::u16string name = unicode::fromUtf8EscapingBytes(file.toStdString());
        QVERIFY(m_files.fileExists(name, Selector::Archive));
        QCOMPARE(m_files.readFirstLine(name), std::string("k;d"));
        m_files.deleteFile(name);
        QCOMPARE(::access(file.constData(), F_OK), -1);
        ::rmdir(directory.constData());
    }

    void readFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");

        QTest::newRow("empty file") << "empty-to-read" << int(Error::InputPastEndOfFile);
        QTest::newRow("missing file") << "gone" << int(Error::FileNotFound);
        QTest::newRow("directory") << "directory-to-read" << int(Error::PathFileAccessError);
        QTest::newRow("FIFO without a writer") << "fifo-to-read" << int(Error::PathFileAccessError);
    }

    void readFailures()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        writeBytes(path("empty-to-read"), "");
        QDir(m_dir.path()).mkdir("directory-to-read");
        if (!QFile::exists(path("fifo-to-read")))
            QCOMPARE(::mkfifo(QFile::encodeName(path("fifo-to-read")).constData(), 0600), 0);
        try {
            m_files.readFirstLine(nativePath(name));
            QFAIL("no error raised");
        } catch (const Error &error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(toQString(error.description()), toQString(core::describe(number)));
        }
    }

    void deleteRemovesTheFileOrFails()
    {
        writeBytes(path("doomed"), "x");
        m_files.deleteFile(nativePath("doomed"));
        QVERIFY(!QFile::exists(path("doomed")));
        QVERIFY_THROWS_EXCEPTION(Error, m_files.deleteFile(nativePath("doomed")));
    }

    void deleteRemovesALinkNotItsTarget()
    {
        writeBytes(path("target"), "x");
        QVERIFY(QFile::link(path("target"), path("link")));
        m_files.deleteFile(nativePath("link"));
        QVERIFY(!QFileInfo(path("link")).isSymLink());
        QVERIFY(QFile::exists(path("target")));
    }

    void deleteInAReadOnlyDirectoryFails()
    {
        if (::geteuid() == 0)
            QSKIP("root may delete anything");
        QDir(m_dir.path()).mkdir("locked");
        writeBytes(path("locked/file"), "x");
        QVERIFY(QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY_THROWS_EXCEPTION(Error, m_files.deleteFile(nativePath("locked/file")));
        QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(QFile::exists(path("locked/file")));
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
