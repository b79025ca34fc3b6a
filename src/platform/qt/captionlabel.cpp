#include "ui/captionlabel.h"

namespace ui {

CaptionLabel::CaptionLabel(QStringView caption, QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setCaption(caption.toString());
}

void CaptionLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    const QString shown = shownPart(caption);
    setText(shown);
    setAccessibleName(shown);
}

QString CaptionLabel::shownPart(const QString &caption) const
{
    if (wordWrap() && caption.size() > FirstTry) {
        const QString firstTry = caption.left(FirstTry);
        if (overflows(firstTry))
            return firstTry;
    }
    return caption.size() > ShownLimit ? caption.left(ShownLimit) : caption;
}

// Whether the text, wrapped at the label's width, needs a line more than the
// label has room for.
bool CaptionLabel::overflows(const QString &text) const
{
    const QFontMetrics metrics(font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, width(), QWIDGETSIZE_MAX), Qt::TextWordWrap, text);
    return needed.height() > height() + metrics.lineSpacing();
}

} // namespace ui
