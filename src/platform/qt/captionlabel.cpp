#include "platform/qt/captionlabel.h"

namespace qtplatform {

CaptionLabel::CaptionLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void CaptionLabel::setCaption(QStringView caption)
{
    const QString shown = shownPart(caption).toString();
    setText(shown);
    setAccessibleName(shown);
}

QStringView CaptionLabel::shownPart(QStringView caption) const
{
    if (wordWrap() && caption.size() > FirstTry) {
        const QStringView firstTry = caption.left(FirstTry);
        if (overflows(firstTry.toString()))
            return firstTry;
    }
    return caption.left(ShownLimit);
}

// Whether the text, wrapped at the label's width, needs a line more than the
// label has room for.
bool CaptionLabel::overflows(const QString &text) const
{
    const QFontMetrics metrics(font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, width(), QWIDGETSIZE_MAX), Qt::TextWordWrap, text);
    return needed.height() > height() + metrics.lineSpacing();
}

} // namespace qtplatform
