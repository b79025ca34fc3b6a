#include "platform/qt/captionlabel.h"

#include "core/unicode.h"
#include "platform/qt/qstringconversion.h"

#include <QFontMetrics>
#include <QTextLayout>

#include <algorithm>

namespace qtplatform {

namespace {

constexpr QChar Ellipsis(0x2026);

// At most limit characters, never half of a surrogate pair.
QStringView prefix(QStringView text, qsizetype limit)
{
    const std::u16string_view kept = unicode::cut(u16View(text), std::size_t(limit));
    return text.first(qsizetype(kept.size()));
}

} // namespace

CaptionLabel::CaptionLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void CaptionLabel::setCaption(QStringView caption)
{
    if (!wordWrap()) {
        const QString shown = prefix(caption, ShownLimit).toString();
        setText(shown);
        setAccessibleName(shown);
        return;
    }
    // A caption that the label shows whole, as it breaks it, is shown as it is.
    if (caption.size() <= FirstTry) {
        const QString whole = caption.toString();
        setText(whole);
        if (heightForWidth(width()) <= height()) {
            setAccessibleName(whole);
            describe({});
            return;
        }
    }
    // As many lines as the label shows whole, by its own measure: its
    // layout may space lines a little wider than the font says.
    const int lineHeight = std::max(1, QFontMetrics(font()).height());
    Lines lines;
    for (int lineCount = std::max(1, height() / lineHeight) + 1; lineCount-- > 1;) {
        lines = wholeLines(caption, lineCount);
        setText(lines.shown);
        if (heightForWidth(width()) <= height())
            break;
    }
    setAccessibleName(lines.shown);
    // Broken where the label would not break it, a caption shown whole is
    // described as it came, too.
    describe(lines.cut || lines.shown != caption ? caption : QStringView());
}

// The caption broken into at most lineCount lines at the label's width,
// wrapped at word boundaries or, in a word longer than a line, anywhere;
// the lines are joined by LINE SEPARATOR, which keeps them one paragraph
// for the bidirectional algorithm. A caption that goes on past them has its
// last line cut to end in an ellipsis.
CaptionLabel::Lines CaptionLabel::wholeLines(QStringView caption, int lineCount) const
{
    const QStringView firstTry = prefix(caption, FirstTry);
    const QString text = prefix(caption, ShownLimit).toString();
    QTextLayout layout(firstTry.toString(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    const auto lay = [&](QTextLayout &textLayout) {
        QList<QTextLine> lines;
        textLayout.beginLayout();
        for (QTextLine line = textLayout.createLine(); line.isValid(); line = textLayout.createLine()) {
            line.setLineWidth(width());
            lines.append(line);
            if (lines.size() > lineCount)
                break;
        }
        textLayout.endLayout();
        return lines;
    };

    QList<QTextLine> lines = lay(layout);
    // Narrow text may need more than the first try to fill the label.
    if (lines.size() <= lineCount && firstTry.size() < text.size()) {
        layout.setText(text);
        lines = lay(layout);
    }
    const QString &laidOut = layout.text();
    const bool overflows = lines.size() > lineCount;
    const bool cut = overflows || laidOut.size() < caption.size();
    if (overflows)
        lines.resize(lineCount);

    Lines result;
    result.cut = cut;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        QString line = laidOut.mid(lines[i].textStart(), last && cut ? -1 : lines[i].textLength());
        if (last && cut)
            line = QFontMetrics(font()).elidedText(line + Ellipsis, Qt::ElideRight, width());
        else if (!last)
            // Its trailing spaces, or the line break that ended it.
            while (!line.isEmpty() && line.back().isSpace())
                line.chop(1);
        if (i > 0)
            result.shown += QChar::LineSeparator;
        result.shown += line;
    }
    return result;
}

// The whole caption for whoever asks: a tooltip, shown wrapped and never
// read as markup, and the description a screen reader gives.
void CaptionLabel::describe(QStringView caption)
{
    QString described = prefix(caption, DescribedLimit).toString();
    if (described.size() < caption.size())
        described += Ellipsis;
    setAccessibleDescription(described);
    setToolTip(described.isEmpty() ? QString() : Qt::convertFromPlainText(described, Qt::WhiteSpaceNormal));
}

} // namespace qtplatform
