// The POSIX file system on real files in a temporary directory: what only
// POSIX has (FIFOs, links, names of any bytes, folder permissions); the
// rest is the file system's contract, held by contract_filesystem.
#include "intake/firstline.h"
#include "platform/failure.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/localfilesystem.h"
#include "platform/qt/qstringconversion.h"
#include "core/unicode.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::SystemFailure;
using qtplatform::toQString;
using qtplatform::toU16String;

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

    // A link counts as what it leads to; a FIFO is no file.
    void existenceTest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");

        QTest::newRow("link to a regular file") << "link-to-regular" << true;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("dangling link") << "dangling" << false;
        QTest::newRow("link to a directory") << "link-to-directory" << false;
    }

    void existenceTest()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        if (!QFile::exists(path("regular"))) {
            writeBytes(path("regular"), "x");
            QVERIFY(QFile::link(path("regular"), path("link-to-regular")));
            QVERIFY(QDir(m_dir.path()).mkdir("directory"));
            QVERIFY(QFile::link(path("directory"), path("link-to-directory")));
            QVERIFY(QFile::link(path("nowhere"), path("dangling")));
            QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        }
        QCOMPARE(m_files.fileExists(nativePath(name)), exists);
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
        QVERIFY(m_files.fileExists(name));
        QCOMPARE(intake::readFirstLine(m_files, qtplatform::LocaleTextCodec::ofThisProcess(), name), std::string("k;d"));
        m_files.deleteFile(name);
        QCOMPARE(::access(file.constData(), F_OK), -1);
        ::rmdir(directory.constData());
    }

    // A FIFO put at the path after the existence test is refused at once,
    // where a read would wait for a writer.
    void fifoIsRefusedWithoutWaiting()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo-to-read")).constData(), 0600), 0);
        try {
            m_files.claim(nativePath("fifo-to-read"));
            QFAIL("claimed");
        } catch (const SystemFailure &failure) {
            QCOMPARE(failure.kind(), platform::FailureKind::NotAFile);
        }
    }

    // A newer notification renamed into place at any moment of a deletion is
    // neither deleted nor replaced; the file read goes.
    void deletionLeavesEveryNewerFile_data()
    {
        QTest::addColumn<QByteArray>("arrivals"); // after the check, once moved aside
        QTest::addColumn<QByteArray>("left");     // the file at the path, then any beside it
        QTest::newRow("after the check") << QByteArray("B-") << QByteArray("B");
        QTest::newRow("one at each") << QByteArray("BC") << QByteArray("CB");
    }

    void deletionLeavesEveryNewerFile()
    {
        QFETCH(QByteArray, arrivals);
        QFETCH(QByteArray, left);
        QTemporaryDir folder;
        const QString notification = folder.filePath("MI.zorvi");
        writeBytes(notification, "A");
        qtplatform::LocalFileSystem files;
        files.claim(toU16String(notification));
        files.duringDeletion = [&](int step) {
            writeBytes(folder.filePath("newer"), arrivals.mid(step, 1));
            if (arrivals[step] != '-')
                std::rename(QFile::encodeName(folder.filePath("newer")), QFile::encodeName(notification));
        };
        files.deleteFile(toU16String(notification));
        const auto read = [](const QString &path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : "-";
        };
        QByteArray held = read(notification);
        for (const QString &name : QDir(folder.path()).entryList({"MI.zorvi.*"}, QDir::Files))
            held += read(folder.filePath(name));
        QCOMPARE(held, left);
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
        QVERIFY_THROWS_EXCEPTION(SystemFailure, m_files.deleteFile(nativePath("locked/file")));
        QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(QFile::exists(path("locked/file")));
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
