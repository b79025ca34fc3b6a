// The window Principal as Qt builds it from its layout, on the offscreen
// platform: where each control sits and how it looks, what it shows, and
// how keys and closing reach the window's events.
#include "qtplatform.h"

#include "core/announcement.h"
#include "core/tooltiptext.h"
#include "platform/qt/captionlabel.h"
#include "platform/qt/guiapplication.h"
#include "platform/qt/keycodes.h"
#include "platform/qt/systemclock.h"
#include "intake/notificationrecord.h"
#include "ui/layout.h"
#include "ui/principal.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>

using qtplatform::CaptionLabel;
using qtplatform::QtWindow;

namespace {

// The window's events as the core would receive them.
class RecordingEvents final : public platform::WindowEvents
{
public:
    struct Key
    {
        int code;
        std::optional<std::size_t> focused;
    };

    bool keyPress(std::int16_t keyAscii, std::optional<std::size_t> focusedControl) override
    {
        keys.append({keyAscii, focusedControl});
        return letThrough;
    }
    void closeRequested() override
    {
        ++closeRequests;
        if (onClose)
            onClose();
    }

    QList<Key> keys;
    bool letThrough = true;
    int closeRequests = 0;
    std::function<void()> onClose;
};

// Reads the button of the first message box shown, then closes it.
class BoxWatcher final : public QObject
{
public:
    explicit BoxWatcher(QString &button) : m_button(button) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show) {
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                m_button = ok->text();
            QMetaObject::invokeMethod(box, [box = QPointer<QMessageBox>(box)] { if (box) box->accept(); },
                                      Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString &m_button;
};

} // namespace

class TestPrincipal final : public QObject
{
    Q_OBJECT

private:
    qtplatform::QtWindowSystem m_windows;
    RecordingEvents m_events;
    std::unique_ptr<platform::NativeWindow> m_handle;
    QtWindow *m_window = nullptr;

    template<typename Widget = QWidget>
    Widget *child(const char *name) const
    {
        return m_window->findChild<Widget *>(QLatin1String(name));
    }
    QLineEdit *text1() const { return child<QLineEdit>("Text1"); }

private slots:
    void init()
    {
        m_events = RecordingEvents();
        m_handle = m_windows.createWindow(ui::PrincipalLayout, m_events);
        m_window = qtWindowOf(*m_handle);
        QVERIFY(m_window);
    }

    void cleanup()
    {
        m_handle.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void controlsSitAtTheirTwipPositions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");

        // Twips divided by 15: left, top, width, height.
        QTest::newRow("Text1") << "Text1" << QRect(10, 116, 361, 17);
        QTest::newRow("Image1") << "Image1" << QRect(12, 32, 48, 48);
        // The time grows left from its end, up to the end of the sender's area.
        QTest::newRow("Label3") << "Label3" << QRect(280, 8, 91, 13);
        QTest::newRow("Label1") << "Label1" << QRect(10, 8, 270, 13);
        QTest::newRow("Label2") << "Label2" << QRect(72, 46, 301, 42);
    }

    void controlsSitAtTheirTwipPositions()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        auto *control = m_window->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), pixels);
    }

    void controlsAreStackedTopmostFirst()
    {
        QStringList topmostFirst;
        const QObjectList children = m_window->children();
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            if ((*it)->isWidgetType())
                topmostFirst << (*it)->objectName();
        }
        QCOMPARE(topmostFirst, (QStringList{"Text1", "Image1", "Label3", "Label1", "Label2"}));
    }

    void windowHasItsFixedDesign()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("Principal"));
        QCOMPARE(m_window->size(), QSize(382, 141));
        QCOMPARE(m_window->minimumSize(), QSize(382, 141));
        QCOMPARE(m_window->maximumSize(), QSize(382, 141));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Mensaje instantáneo"));
        QCOMPARE(m_window->accessibleName(), m_window->windowTitle());
        QVERIFY(m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!m_window->isVisible());

        const QList<QSize> iconSizes = m_window->windowIcon().availableSizes();
        for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)})
            QVERIFY2(iconSizes.contains(size), qPrintable(QStringLiteral("no %1 px icon").arg(size.width())));
        QCOMPARE(child<QLabel>("Image1")->pixmap().size(), QSize(48, 48));
    }

    void answerBoxStartsWithTheHint()
    {
        QCOMPARE(text1()->text(), QStringLiteral("Escriba la respuesta aquí..."));
        QCOMPARE(qtplatform::toQString(m_handle->text(ui::Text1Index)), text1()->text());
        QVERIFY(text1()->placeholderText().isEmpty());
        QCOMPARE(text1()->maxLength(), 100);
        QCOMPARE(text1()->palette().color(QPalette::Text), QColor(128, 128, 128));
        QCOMPARE(text1()->focusPolicy() & Qt::ClickFocus, Qt::ClickFocus);
    }

    void onlyTheAnswerBoxTakesTheFocus()
    {
        for (QWidget *control : m_window->findChildren<QWidget *>()) {
            if (control->objectName() != "Text1")
                QVERIFY2(control->focusPolicy() == Qt::NoFocus, qPrintable(control->objectName()));
        }
        QCOMPARE(m_window->focusProxy(), text1());
    }

    void answerBoxTakesAtMost100Characters()
    {
        m_handle->setText(ui::Text1Index, u"");
        QTest::keyClicks(text1(), QString(120, 'x'));
        QCOMPARE(text1()->text(), QString(100, 'x'));
    }

    void labelsUseTheirFontsAndColours()
    {
        auto *label1 = child<CaptionLabel>("Label1");
        auto *label2 = child<CaptionLabel>("Label2");
        auto *label3 = child<CaptionLabel>("Label3");
        QCOMPARE(m_window->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(m_window->font().pointSizeF(), 8.25);
        QCOMPARE(label1->font().weight(), QFont::Bold);
        QCOMPARE(label2->font().pointSizeF(), 9.0);
        QCOMPARE(label2->font().weight(), QFont::Normal);
        QCOMPARE(label3->font(), m_window->font());
        QCOMPARE(text1()->font(), m_window->font());
        QCOMPARE(label1->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(label3->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(label2->palette().color(QPalette::WindowText), m_window->palette().color(QPalette::ButtonText));
        for (QLabel *label : {label1, label2, label3})
            QVERIFY(!label->autoFillBackground());
        if (QFontInfo(label1->font()).family() != QStringLiteral("Tahoma"))
            QSKIP("no Tahoma face on this machine (Debian's fonts-wine has one)");
        QVERIFY(QFontInfo(label1->font()).bold());
    }

    // The shapes and lines as drawn, stacking included: the lines lie over
    // the white panel, the panel runs past the right edge.
    void paintsItsColours_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("colour");

        const QPalette palette = QApplication::palette();
        QTest::newRow("Shape2, the white panel") << QPoint(5, 95) << QColor(Qt::white);
        QTest::newRow("Shape2, cut off at the right edge") << QPoint(381, 50) << QColor(Qt::white);
        QTest::newRow("Shape1, the header band") << QPoint(290, 6) << QColor(243, 243, 243);
        QTest::newRow("Shape1, its border") << QPoint(4, 10) << QColor(192, 192, 192);
        QTest::newRow("Line1(4), shadow over the panel") << QPoint(200, 104) << palette.color(QPalette::Dark);
        QTest::newRow("Line1(5), highlight") << QPoint(200, 105) << palette.color(QPalette::Light);
        QTest::newRow("Shape3, its border") << QPoint(6, 120) << QColor(192, 192, 192);
        QTest::newRow("Shape3, its right border") << QPoint(376, 134) << QColor(192, 192, 192);
        QTest::newRow("Shape3, the window fill") << QPoint(8, 114) << palette.color(QPalette::Base);
        QTest::newRow("the window's face around Shape3") << QPoint(2, 138) << palette.color(QPalette::Window);
    }

    void paintsItsColours()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, colour);
        const QImage image = m_window->grab().toImage();
        QCOMPARE(image.pixelColor(pixel).rgb(), colour.rgb());
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
        const std::u16string text = qtplatform::toU16String(caption);
        const std::pair<const char *, std::size_t> labels[] = {
            {"Label1", ui::Label1Index}, {"Label2", ui::Label2Index}, {"Label3", ui::Label3Index}};
        for (const auto &[name, index] : labels) {
            m_handle->setCaption(index, text);
            auto *label = child<CaptionLabel>(name);
            // Whole, or cut to its place with the whole in the description.
            QCOMPARE(label->caption(), caption);
            QCOMPARE(label->accessibleName(), label->text());
            QCOMPARE(label->textFormat(), Qt::PlainText);
            // Laid out as plain text a label is at least as wide as the
            // characters themselves; read as markup the tags would vanish.
            if (!label->wordWrap())
                QVERIFY(label->sizeHint().width() >= QFontMetrics(label->font()).horizontalAdvance(label->text()));
        }
    }

    // The time of arrival shows whole in the header whatever the locale
    // writes it as, against the right end, clear of the sender's name.
    void theTimeShowsWhole_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C.UTF-8") << "C";
        QTest::newRow("es_ES.UTF-8") << "es_ES";
    }

    void theTimeShowsWhole()
    {
        QFETCH(QString, locale);
        const qtplatform::SystemClock clock{QLocale(locale)};
        auto *label3 = child<CaptionLabel>("Label3");
        const QRect sender = child<CaptionLabel>("Label1")->geometry();
        for (const platform::TimeOfDay time : {platform::TimeOfDay{0, 8, 0}, platform::TimeOfDay{12, 58, 0}}) {
            m_handle->setCaption(ui::Label3Index, clock.formatMediumTime(time));
            const QString shown = label3->text();
            const int drawnWidth = label3->fontMetrics().horizontalAdvance(shown);
            QVERIFY2(drawnWidth <= label3->contentsRect().width(),
                     qPrintable(QStringLiteral("\"%1\" is %2 px wide").arg(shown).arg(drawnWidth)));
            QVERIFY(label3->alignment().testFlag(Qt::AlignRight));
            QCOMPARE(label3->geometry().right(), (5565 - 15) / 15);
            QVERIFY(label3->geometry().left() > sender.right());
        }
    }

    // A message the label cannot hold shows whole lines, the last ending in
    // an ellipsis; the whole message is in the tooltip and the description.
    // A huge one costs no more than the label shows.
    void aLongMessageShowsWholeLinesAndSaysThereIsMore_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << "Label2" << "Hola, ¿vienes mañana?" << false;
        QTest::newRow("ordinary words") << "Label2" << QStringLiteral("Hola, ¿vienes mañana? ").repeated(300) << true;
        QTest::newRow("narrow words") << "Label2" << QStringLiteral("i ").repeated(5000) << true;
        QTest::newRow("one word of full stops") << "Label2" << QString(5000, u'.') << true;
        QTest::newRow("markup") << "Label2" << QStringLiteral("<b>hola</b> & <img src=x> ").repeated(100) << true;
        QTest::newRow("5 million characters") << "Label2" << QString(5'000'000, u'm') << true;
        QTest::newRow("a sender's name too long for the header") << "Label1" << QStringLiteral("Bartolomé ").repeated(9)
                                                                  << true;
    }

    void aLongMessageShowsWholeLinesAndSaysThereIsMore()
    {
        QFETCH(QString, label);
        QFETCH(QString, message);
        QFETCH(bool, cut);
        auto *label2 = child<CaptionLabel>(qPrintable(label));
        m_handle->setCaption(label == "Label1" ? ui::Label1Index : ui::Label2Index, qtplatform::toU16String(message));
        const QString shown = label2->text();
        QCOMPARE(label2->accessibleName(), shown);
        QVERIFY2(label2->heightForWidth(label2->width()) <= label2->height(), qPrintable(shown));
        const QStringList lines = shown.split(QChar::LineSeparator);
        for (const QString &line : lines)
            QVERIFY2(label2->fontMetrics().horizontalAdvance(line) <= label2->width(), qPrintable(line));
        if (!cut) {
            QCOMPARE(shown, message);
            QVERIFY(label2->toolTip().isEmpty());
            return;
        }
        QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
        QVERIFY2(lines.size() >= 2 || !label2->wordWrap(), qPrintable(shown));
        QVERIFY(shown.size() <= CaptionLabel::ShownLimit + lines.size());
        const QString described = message.size() > qsizetype(announcement::DescribedLimit)
                                      ? message.left(qsizetype(announcement::DescribedLimit)) + QChar(0x2026)
                                      : message;
        QCOMPARE(label2->accessibleDescription(), described);
        QVERIFY(Qt::mightBeRichText(label2->toolTip()));
        QTextDocument tooltip;
        tooltip.setHtml(label2->toolTip());
        QCOMPARE(tooltip.toPlainText(), qtplatform::toQString(tooltip::text(qtplatform::u16View(message))));
    }

    // Whatever the user inserts onto the hint replaces it, as the first
    // typed key does: through the real window Principal, the box's own
    // paste, middle-click paste and drop.
    void theHintGivesWayToAnyInsertion_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");

        const QString hint = QStringLiteral("Escriba la respuesta aquí...");
        const QString pasted = QStringLiteral("PEGADO");
        QTest::newRow("Ctrl+V") << "Ctrl+V" << hint << pasted << pasted;
        QTest::newRow("the context menu's paste") << "menu" << hint << pasted << pasted;
        QTest::newRow("a middle click") << "middle click" << hint << pasted << pasted;
        QTest::newRow("a drop") << "drop" << hint << pasted << pasted;
        QTest::newRow("a middle click on an answer") << "middle click" << "Hola" << pasted << "HoPEGADOla";
    }

    void theHintGivesWayToAnyInsertion()
    {
        QFETCH(QString, way);
        QFETCH(QString, boxText);
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (way == "middle click" && !clipboard->supportsSelection())
            QSKIP("no primary selection on this platform (the test runs again on Xvfb)");

        QTemporaryDir directory;
        TestPlatform platform(directory.path());
        const intake::FieldArray fields;
        ui::PrincipalReference principal(platform, fields);
        principal->Text1().setText(qtplatform::toU16String(boxText));
        QtWindow *window = qtWindowOf(principal->hWnd());
        auto *box = window->findChild<QLineEdit *>("Text1");
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        box->setFocus();
        // Where a click puts the cursor after the second character.
        QPoint atTwo(0, box->height() / 2);
        while (atTwo.x() < box->width() && box->cursorPositionAt(atTwo) < 2)
            atTwo.rx()++;

        clipboard->setText(pasted, QClipboard::Clipboard);
        if (way == "Ctrl+V") {
            box->setCursorPosition(11);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else if (way == "menu") {
            box->setCursorPosition(11);
            // The box opens its menu and returns; the user picks Paste.
            QContextMenuEvent event(QContextMenuEvent::Keyboard, atTwo, box->mapToGlobal(atTwo));
            QApplication::sendEvent(box, &event);
            QWidget *menu = QApplication::activePopupWidget();
            QVERIFY(menu);
            // Undo, Redo, a separator, Cut, Copy, Paste...
            QVERIFY(menu->actions().size() > 5);
            menu->actions()[5]->trigger();
            menu->close();
        } else if (way == "middle click") {
            clipboard->setText(pasted, QClipboard::Selection);
            QTest::mouseClick(box, Qt::MiddleButton, Qt::NoModifier, atTwo);
        } else if (way == "drop") {
            QMimeData data;
            data.setText(pasted);
            QDragEnterEvent enter(atTwo, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &enter);
            QDragMoveEvent move(atTwo, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &move);
            QDropEvent drop(QPointF(atTwo), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &drop);
        }
        QCOMPARE(box->text(), expected);
        QCOMPARE(principal->Text1().text(), qtplatform::toU16String(expected));
        QCOMPARE(box->maxLength(), 100);
        principal->Unload();
    }

    // The texts Qt shows of its own beside the notifier's Spanish ones are
    // Spanish too, whatever the locale: the boxes' button, the answer box's
    // menu.
    void qtsOwnTextsAreSpanish()
    {
        QString button;
        auto *watcher = new BoxWatcher(button);
        qApp->installEventFilter(watcher);
        qtplatform::QtMessageBoxes().error(u"Número: 13", u"Ha ocurrido un error");
        qApp->removeEventFilter(watcher);
        delete watcher;
        QCOMPARE(button, QStringLiteral("Aceptar"));

        const std::unique_ptr<QMenu> menu(text1()->createStandardContextMenu());
        QStringList actions;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                actions << action->text().section(u'\t', 0, 0);
        }
        QCOMPARE(actions, (QStringList{"&Deshacer", "&Rehacer", "Cor&tar", "&Copiar", "&Pegar", "Borrar",
                                       "Seleccionar todo"}));
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
        QCOMPARE(qtplatform::characterCodeOf(event).value_or(-1), code);
    }

    // Every character key in the answer box goes to the events first, once,
    // with the box as the control in focus; the box takes it only if they
    // let it. Keys without a character are the box's alone.
    void keysInTheAnswerBoxGoToTheEventsFirst_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("letThrough");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("boxText");

        QTest::newRow("a letter let through") << int(Qt::Key_X) << "x" << true << int('x') << "axbc";
        QTest::newRow("a letter held back") << int(Qt::Key_X) << "x" << false << int('x') << "abc";
        QTest::newRow("backspace let through") << int(Qt::Key_Backspace) << "\b" << true << 8 << "bc";
        QTest::newRow("Escape held back") << int(Qt::Key_Escape) << "\x1b" << false << 27 << "abc";
        // The box passes Enter on to the window, which must not offer it again.
        QTest::newRow("Enter, offered once") << int(Qt::Key_Return) << "\r" << true << 13 << "abc";
        QTest::newRow("Delete, the box's alone") << int(Qt::Key_Delete) << "\x7f" << false << -1 << "ac";
    }

    void keysInTheAnswerBoxGoToTheEventsFirst()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(bool, letThrough);
        QFETCH(int, code);
        QFETCH(QString, boxText);
        m_window->show();
        text1()->setFocus();
        text1()->setText("abc");
        text1()->setCursorPosition(1);
        m_events.letThrough = letThrough;
        QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key(key), text, Qt::NoModifier);

        QCOMPARE(m_events.keys.size(), code < 0 ? 0 : 1);
        if (code >= 0) {
            QCOMPARE(m_events.keys[0].code, code);
            QCOMPARE(m_events.keys[0].focused, std::optional<std::size_t>(ui::Text1Index));
        }
        QCOMPARE(text1()->text(), boxText);
    }

    void aKeyToTheWindowItselfComesWithNoControl()
    {
        QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_Escape, QStringLiteral("\x1b"), Qt::NoModifier);
        QCOMPARE(m_events.keys.size(), 1);
        QCOMPARE(m_events.keys[0].code, 27);
        QCOMPARE(m_events.keys[0].focused, std::nullopt);
    }

    // Closing through the frame asks the events, and the window closes only
    // if they destroy it; once destroyed it goes when control is back in
    // the event loop, and the loop ends with no window left.
    void closingThroughTheFrame()
    {
        m_window->show();
        QVERIFY(!m_window->close());
        QCOMPARE(m_events.closeRequests, 1);
        QVERIFY(m_window->isVisible());

        m_events.onClose = [this] { m_handle->destroy(); };
        const QPointer<QtWindow> window = m_window;
        QTimer::singleShot(0, m_window, [window] { window->close(); });
        m_windows.runEventLoop();
        QCOMPARE(m_events.closeRequests, 2);
        QVERIFY(window.isNull());
        m_windows.runEventLoop();
    }

    void keysAfterTheWindowIsDestroyedGoNowhere()
    {
        m_window->show();
        m_handle->destroy();
        QVERIFY(!m_window->isVisible());
        QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key_X, QStringLiteral("x"), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_X, QStringLiteral("x"), Qt::NoModifier);
        QVERIFY(m_events.keys.isEmpty());
        QCOMPARE(text1()->text(), QStringLiteral("Escriba la respuesta aquí..."));
    }
};

int main(int argc, char **argv)
{
    // The application object is made as in the program.
    qtplatform::setCommandLine(argc, argv);
    qtplatform::ensureGuiApplication();
    TestPrincipal test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_principal.moc"
