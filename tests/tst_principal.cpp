#include "fakes.h"
#include "platform/guiapplication.h"
#include "ui/captionlabel.h"
#include "ui/principal.h"
#include "ui/texts.h"

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using ui::Principal;

namespace {

QPointer<Principal> shownWindow()
{
    Principal &window = Principal::instance();
    window.Text1();
    window.show();
    window.activateWindow();
    return &window;
}

} // namespace

class TestPrincipal final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        disposeOfWindow();
        QVERIFY(!Principal::exists());
    }

    void controlsSitAtTheirTwipPositions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");

        // Twips divided by 15: left, top, width, height.
        QTest::newRow("Text1") << "Text1" << QRect(10, 116, 361, 17);
        QTest::newRow("Shape3") << "Shape3" << QRect(6, 112, 371, 23);
        QTest::newRow("Image1") << "Image1" << QRect(12, 32, 48, 48);
        QTest::newRow("Line1(4)") << "Line1_4" << QRect(0, 104, 382, 1);
        QTest::newRow("Line1(5)") << "Line1_5" << QRect(0, 105, 382, 1);
        QTest::newRow("Label3") << "Label3" << QRect(320, 8, 51, 13);
        QTest::newRow("Label1") << "Label1" << QRect(10, 8, 270, 13);
        QTest::newRow("Shape1") << "Shape1" << QRect(4, 4, 373, 21);
        QTest::newRow("Label2") << "Label2" << QRect(72, 46, 301, 42);
        QTest::newRow("Shape2") << "Shape2" << QRect(0, 0, 385, 105);
    }

    void controlsSitAtTheirTwipPositions()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        Principal &window = Principal::instance();
        window.Label1();
        auto *control = window.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), pixels);
    }

    void controlsAreStackedTopmostFirst()
    {
        Principal &window = Principal::instance();
        window.Label1();
        QStringList topmostFirst;
        const QObjectList children = window.children();
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            if ((*it)->isWidgetType())
                topmostFirst << (*it)->objectName();
        }
        QCOMPARE(topmostFirst, (QStringList{"Text1", "Shape3", "Image1", "Line1_4", "Line1_5", "Label3", "Label1",
                                            "Shape1", "Label2", "Shape2"}));
    }

    void windowHasItsFixedDesign()
    {
        Principal &window = Principal::instance();
        window.Label1();
        QCOMPARE(window.size(), QSize(382, 141));
        QCOMPARE(window.minimumSize(), QSize(382, 141));
        QCOMPARE(window.maximumSize(), QSize(382, 141));
        QCOMPARE(window.windowTitle(), QStringLiteral("Mensaje instantáneo"));
        QCOMPARE(window.accessibleName(), window.windowTitle());
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!window.isVisible());

        const QList<QSize> iconSizes = window.windowIcon().availableSizes();
        for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)})
            QVERIFY2(iconSizes.contains(size), qPrintable(QStringLiteral("no %1 px icon").arg(size.width())));
        const auto *image1 = window.findChild<QLabel *>("Image1");
        QCOMPARE(image1->pixmap().size(), QSize(48, 48));
    }

    void answerBoxStartsWithTheHint()
    {
        QLineEdit *text1 = Principal::instance().Text1();
        QCOMPARE(text1->text(), QStringLiteral("Escriba la respuesta aquí..."));
        QVERIFY(text1->placeholderText().isEmpty());
        QCOMPARE(text1->maxLength(), 100);
        QCOMPARE(text1->palette().color(QPalette::Text), QColor(128, 128, 128));
        QCOMPARE(text1->focusPolicy() & Qt::ClickFocus, Qt::ClickFocus);
    }

    void onlyTheAnswerBoxTakesTheFocus()
    {
        Principal &window = Principal::instance();
        window.Label1();
        for (QWidget *child : window.findChildren<QWidget *>()) {
            if (child->objectName() != "Text1")
                QVERIFY2(child->focusPolicy() == Qt::NoFocus, qPrintable(child->objectName()));
        }
    }

    void answerBoxTakesAtMost100Characters()
    {
        QPointer<Principal> window = shownWindow();
        QLineEdit *text1 = window->Text1();
        text1->clear();
        QTest::keyClicks(text1, QString(120, 'x'));
        QCOMPARE(text1->text().size(), 100);
    }

    void labelsUseTheirFontsAndColours()
    {
        Principal &window = Principal::instance();
        window.Label1();
        QCOMPARE(window.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(window.font().pointSizeF(), 8.25);
        QCOMPARE(window.Label1()->font().weight(), QFont::Bold);
        QCOMPARE(window.Label2()->font().pointSizeF(), 9.0);
        QCOMPARE(window.Label2()->font().weight(), QFont::Normal);
        QCOMPARE(window.Label3()->font(), window.font());
        QCOMPARE(window.Label1()->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(window.Label3()->palette().color(QPalette::WindowText), QColor(Qt::black));
        for (QLabel *label : {(QLabel *)window.Label1(), (QLabel *)window.Label2(), (QLabel *)window.Label3()})
            QVERIFY(!label->autoFillBackground());
        if (QFontInfo(window.Label1()->font()).family() != QStringLiteral("Tahoma"))
            QSKIP("no Tahoma face on this machine (Debian's fonts-wine has one)");
        QVERIFY(QFontInfo(window.Label1()->font()).bold());
    }

    void captionsAreShownLiterally_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("markup") << "<b>hola</b> & <img src=x>";
        QTest::newRow("mnemonic") << "&Ana";
        QTest::newRow("entity") << "&lt;3";
    }

    void captionsAreShownLiterally()
    {
        QFETCH(QString, caption);
        Principal &window = Principal::instance();
        for (ui::CaptionLabel *label : {window.Label1(), window.Label2(), window.Label3()}) {
            label->setCaption(caption);
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->accessibleName(), caption);
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        // Laid out as plain text a single-line label is as wide as the
        // characters themselves; read as markup the tags would vanish.
        for (ui::CaptionLabel *label : {window.Label1(), window.Label3()}) {
            const QFontMetrics metrics(label->font());
            QVERIFY(label->sizeHint().width() >= metrics.horizontalAdvance(caption));
        }
    }

    void aHugeCaptionIsKeptButOnlyItsVisiblePartLaidOut()
    {
        const QString huge(5'000'000, QChar(u'm'));
        ui::CaptionLabel *label2 = Principal::instance().Label2();
        label2->setCaption(huge);
        QCOMPARE(label2->caption().size(), huge.size());
        QCOMPARE(label2->text().size(), ui::CaptionLabel::ShownLimit);
    }

    // The cut never shows: the shown part overflows the message label,
    // wrapped at every chance or, with no chance to wrap, on one line; in
    // ordinary text a short part does, in the narrowest a longer one.
    void theShownPartOverflowsTheLargestLabel_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<qsizetype>("shownLength");
        QTest::newRow("ordinary words") << "Hola, ¿vienes mañana? " << ui::CaptionLabel::FirstTry;
        QTest::newRow("one word of full stops") << "." << ui::CaptionLabel::ShownLimit;
        QTest::newRow("narrow words") << "i " << ui::CaptionLabel::ShownLimit;
        QTest::newRow("apostrophes and spaces") << "' " << ui::CaptionLabel::ShownLimit;
    }

    void theShownPartOverflowsTheLargestLabel()
    {
        QFETCH(QString, unit);
        QFETCH(qsizetype, shownLength);
        ui::CaptionLabel *label2 = Principal::instance().Label2();
        const QString caption = unit.repeated(5000);
        label2->setCaption(caption);
        const QString shown = label2->text();
        QCOMPARE(shown, caption.left(shownLength));
        const int wrappedHeight = label2->heightForWidth(label2->width());
        const int oneLineWidth = QFontMetrics(label2->font()).horizontalAdvance(shown);
        QVERIFY2(wrappedHeight > label2->height() + label2->fontMetrics().lineSpacing()
                     || oneLineWidth > 2 * label2->width(),
                 qPrintable(QStringLiteral("%1 px high, %2 px wide").arg(wrappedHeight).arg(oneLineWidth)));
    }

    void formLoadCentresOverTheWholeScreen()
    {
        RecordingWindowSystem windows;
        platform::Services services = platform::services();
        services.windowSystem = &windows;
        ScopedServices scoped(services);

        Principal::instance().Label1();
        // A 1024 x 768 screen and a window of 5820 x 2475 twips with its frame.
        QCOMPARE(windows.calls, (QStringList{"outer", "screen", "top 4522.5", "outer", "screen", "left 4770"}));
    }

    void aWindowLargerThanTheScreenIsCentredAtNegativeOffsets()
    {
        RecordingWindowSystem windows;
        windows.screen = QSizeF(3000, 1500);
        windows.outer = QSizeF(5820, 2475);
        platform::Services services = platform::services();
        services.windowSystem = &windows;
        ScopedServices scoped(services);

        Principal::instance().Label1();
        QVERIFY(windows.calls.contains("top -487.5"));
        QVERIFY(windows.calls.contains("left -1410"));
    }

    void loadingHappensOnceOnFirstAccess()
    {
        RecordingWindowSystem windows;
        platform::Services services = platform::services();
        services.windowSystem = &windows;
        ScopedServices scoped(services);

        Principal &window = Principal::instance();
        QVERIFY(!window.isLoaded());
        QVERIFY(windows.calls.isEmpty());
        window.Label2();
        window.Text1();
        window.Label3();
        QVERIFY(window.isLoaded());
        QCOMPARE(windows.calls.count("top 4522.5"), 1);
    }

    void escapeUnloadsFromTheAnswerBox_data()
    {
        QTest::addColumn<QString>("typedFirst");
        QTest::newRow("hint shown") << "";
        QTest::newRow("answer half typed") << "hola qu";
    }

    void escapeUnloadsFromTheAnswerBox()
    {
        QFETCH(QString, typedFirst);
        QPointer<Principal> window = shownWindow();
        QLineEdit *text1 = window->Text1();
        QTest::keyClicks(text1, typedFirst);
        QTest::keyClick(text1, Qt::Key_Escape);
        QVERIFY(!Principal::exists());
        QVERIFY(!window->isLoaded());
        QVERIFY(!window->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    void otherKeysReachTheAnswerBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("changesText");
        QTest::newRow("letter") << int(Qt::Key_A) << true;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << true;
        QTest::newRow("left arrow") << int(Qt::Key_Left) << false;
        QTest::newRow("delete") << int(Qt::Key_Delete) << false;
    }

    void otherKeysReachTheAnswerBox()
    {
        QFETCH(int, key);
        QFETCH(bool, changesText);
        QPointer<Principal> window = shownWindow();
        QLineEdit *text1 = window->Text1();
        text1->setText("abc");
        QTest::keyClick(text1, Qt::Key(key));
        QVERIFY(Principal::exists());
        QCOMPARE(text1->text() != "abc", changesText);
    }

    void closingThroughTheFrameUnloads()
    {
        QPointer<Principal> window = shownWindow();
        QVERIFY(window->close());
        QVERIFY(!Principal::exists());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    void unloadingAWindowNeverLoadedDoesNothing()
    {
        Principal &window = Principal::instance();
        window.Unload();
        QVERIFY(Principal::exists());
        QVERIFY(!window.isLoaded());
    }

    void aNewReferenceAfterUnloadIsANewWindow()
    {
        QPointer<Principal> first = shownWindow();
        first->Unload();
        QVERIFY(!first.isNull());
        Principal &second = Principal::instance();
        QVERIFY(&second != first.data());
        QCOMPARE(second.isLoaded(), false);
    }

    void characterCodes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");

        QTest::newRow("letter") << int(Qt::Key_A) << "a" << int('a');
        QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << 13;
        QTest::newRow("escape") << int(Qt::Key_Escape) << "\x1b" << 27;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << 8;
        QTest::newRow("accented") << 0 << QStringLiteral("ñ") << int(0xf1);
        QTest::newRow("delete delivers none") << int(Qt::Key_Delete) << "\x7f" << -1;
        QTest::newRow("arrow delivers none") << int(Qt::Key_Left) << "" << -1;
    }

    void characterCodes()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, code);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        qint16 keyAscii = -1;
        QCOMPARE(ui::characterCodeOf(event, keyAscii), code >= 0);
        QCOMPARE(int(keyAscii), code);
    }
};

int main(int argc, char **argv)
{
    // The window creates the application object itself, as in the program.
    platform::setCommandLine(argc, argv);
    platform::ensureGuiApplication();
    TestPrincipal test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_principal.moc"
