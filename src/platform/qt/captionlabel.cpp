#include "platform/qt/captionlabel.h"

#include "core/announcement.h"
#include "core/texts.h"
#include "core/tooltiptext.h"
#include "core/unicode.h"
#include "platform/qt/qstringconversion.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace qtplatform {

namespace {

const QChar Ellipsis(texts::CaptionEllipsis);

// At most limit characters, never half of a surrogate pair.
QStringView prefix(QStringView text, qsizetype limit)
{
    const std::u16string_view kept = unicode::cut(u16View(text), std::size_t(limit));
    return text.first(qsizetype(kept.size()));
}

constexpr QChar FirstStrongIsolate(0x2068);
constexpr QChar PopDirectionalIsolate(0x2069);

// The text as a label draws it: a line feed breaks the line, a carriage
// return shows as a space.
QString drawable(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c == u'\n')
            c = QChar::LineSeparator;
        else if (c == u'\r')
            c = u' ';
    }
    return out;
}

// A caption isolated as a whole is its label's own paragraph, whose
// direction the isolate sets: that of its first strong character. The
// paragraph is laid out so, without the isolate marks, which no font draws
// and each of which sends the text layout looking through every installed
// font for a glyph. Returns the direction.
Qt::LayoutDirection takeOuterIsolate(QString &text)
{
    if (!text.startsWith(FirstStrongIsolate))
        return Qt::LeftToRight;
    text.remove(0, 1);
    if (text.endsWith(PopDirectionalIsolate))
        text.chop(1);
    return text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
}

} // namespace

CaptionLabel::CaptionLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    m_layout.setCacheEnabled(true);
}

int CaptionLabel::layOut(QString text, int maxLines)
{
    const Qt::LayoutDirection direction = takeOuterIsolate(text);
    m_layout.clearLayout();
    m_layout.setText(text);
    m_layout.setFont(font());
    // Left and right as the layout says, whatever the direction.
    QTextOption option((alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignAbsolute);
    option.setTextDirection(direction);
    option.setWrapMode(wordWrap() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::ManualWrap);
    option.setTabStopDistance(platform::TabStopInAverageCharacters * QFontMetricsF(font(), this).averageCharWidth());
    m_layout.setTextOption(option);
    int lines = 0;
    qreal top = 0;
    m_layout.beginLayout();
    for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, top));
        top += m_linePitch > 0 ? qreal(m_linePitch) : line.height();
        if (++lines > maxLines)
            break;
    }
    m_layout.endLayout();
    return lines;
}

void CaptionLabel::setPlaceholder(QStringView caption)
{
    const QString text = caption.toString();
    setText(text);
    setAccessibleName(text);
    m_laidOut = false;
}

void CaptionLabel::setCaption(QStringView caption)
{
    m_laidOut = true;
    // Wrapped, as many lines as the label's height holds whole; unwrapped,
    // the one line it is given.
    int lineCount = 1;
    if (wordWrap()) {
        const int pitch = m_linePitch > 0 ? m_linePitch : QFontMetrics(font(), this).height();
        lineCount = std::max(1, height() / std::max(1, pitch));
    }
    QStringView laidOut = prefix(caption, wordWrap() ? FirstTry : ShownLimit);
    int lines = layOut(drawable(laidOut), lineCount);
    // Narrow text may need more than the first try to fill the label.
    if (lines <= lineCount && laidOut.size() < caption.size() && laidOut.size() < ShownLimit) {
        laidOut = prefix(caption, ShownLimit);
        lines = layOut(drawable(laidOut), lineCount);
    }
    const bool tooWide = !wordWrap() && m_layout.lineAt(0).naturalTextWidth() > width();
    const bool cut = lines > lineCount || tooWide || laidOut.size() < caption.size();
    if (!cut) {
        const QString whole = caption.toString();
        setText(whole);
        setAccessibleName(whole);
        describe({});
        return;
    }

    // The lines that show, the last ending in an ellipsis; each line that a
    // later one follows loses its trailing spaces, or the break that ended it.
    const QString text = m_layout.text();
    const QFontMetrics metrics(font(), this);
    QString shown;
    if (caption.startsWith(FirstStrongIsolate))
        shown += FirstStrongIsolate;
    const int kept = std::min(lines, lineCount);
    for (int i = 0; i < kept; ++i) {
        const QTextLine line = m_layout.lineAt(i);
        if (i + 1 < kept) {
            QString part = text.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace())
                part.chop(1);
            shown += part + QChar::LineSeparator;
            continue;
        }
        // What would follow on this line, were there room: up to the next
        // forced break.
        QString rest = text.mid(line.textStart());
        if (const qsizetype forced = rest.indexOf(QChar::LineSeparator); forced >= 0)
            rest.truncate(forced);
        shown += metrics.elidedText(rest + Ellipsis, Qt::ElideRight, width());
    }
    setText(shown);
    layOut(shown, lineCount);
    setAccessibleName(shown);
    describe(caption);
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    if (!m_laidOut)
        setCaption(text());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    qreal top = 0;
    if ((alignment() & Qt::AlignVCenter) && m_layout.lineCount() > 0) {
        const QTextLine last = m_layout.lineAt(m_layout.lineCount() - 1);
        top = (height() - (last.y() + last.height())) / 2;
    }
    m_layout.draw(&painter, QPointF(0, top));
}

// The whole caption for whoever asks: the description a screen reader
// gives, and a tooltip of what fits on a screen, never read as markup.
void CaptionLabel::describe(QStringView caption)
{
    const QString described = toQString(announcement::described(u16View(caption)));
    setAccessibleDescription(described);
    setToolTip(described.isEmpty()
                   ? QString()
                   : Qt::convertFromPlainText(toQString(tooltip::text(u16View(caption))), Qt::WhiteSpaceNormal));
}

} // namespace qtplatform
