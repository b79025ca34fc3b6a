// A window that holds the keyboard focus while the notifier appears, so the
// end-to-end test can tell where typed keys land: every change of its line
// edit rewrites the file named on the command line with the current text.
// The file is created empty at start, so the test can also tell that the
// probe is up and listening. Keys that change no text are noted too: each
// Escape that reaches the line edit adds a line "Escape" to the same file
// name with ".keys" appended.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <utility>

namespace {

bool writeText(const QString &path, const QString &text)
{
    // Written aside and renamed over, so a reader never sees half a line.
    const QString temporary = path + QStringLiteral(".part");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    file.close();
    QFile::remove(path);
    return QFile::rename(temporary, path);
}

class EscapeRecorder final : public QObject
{
public:
    explicit EscapeRecorder(QString path, QObject *parent)
        : QObject(parent), m_path(std::move(path))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            QFile file(m_path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write("Escape\n") != 7)
                std::fprintf(stderr, "focus_probe: cannot write %s\n", qPrintable(m_path));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: focus_probe OUTPUT-FILE\n");
        return 2;
    }
    const QString output = arguments.at(1);

    QWidget window;
    window.setWindowTitle(QStringLiteral("focus-probe"));
    auto *edit = new QLineEdit(&window);
    edit->setObjectName(QStringLiteral("probeEdit"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    window.resize(240, 60);
    window.move(20, 20);

    QObject::connect(edit, &QLineEdit::textChanged, [&output](const QString &text) {
        if (!writeText(output, text))
            std::fprintf(stderr, "focus_probe: cannot write %s\n", qPrintable(output));
    });

    edit->installEventFilter(new EscapeRecorder(output + QStringLiteral(".keys"), edit));

    if (!writeText(output, QString())) {
        std::fprintf(stderr, "focus_probe: cannot write %s\n", qPrintable(output));
        return 1;
    }
    window.show();
    edit->setFocus();
    return application.exec();
}
