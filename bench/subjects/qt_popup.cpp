// The smallest Qt Widgets program that shows what the notifier shows: a
// window of the same size, kept on top and shown without activation, with
// three labels and a line edit. What it costs is the toolkit's own floor.
//
//   bench_qt_popup [MESSAGE]

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTime>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QString message = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Hola, ¿qué tal?");

    QWidget window(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.setWindowTitle(QStringLiteral("Mensaje instantáneo"));
    window.setFixedSize(382, 141);

    auto *sender = new QLabel(QStringLiteral("Ana"), &window);
    sender->setGeometry(10, 8, 270, 13);
    auto *time = new QLabel(QTime::currentTime().toString(QStringLiteral("hh:mm AP")), &window);
    time->setGeometry(320, 8, 51, 13);
    auto *text = new QLabel(message, &window);
    text->setGeometry(72, 46, 301, 42);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *answer = new QLineEdit(&window);
    answer->setGeometry(10, 116, 361, 17);

    window.show();
    return QApplication::exec();
}
