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
    const QString shown = caption.size() > ShownLimit ? caption.left(ShownLimit) : caption;
    setText(shown);
    setAccessibleName(shown);
}

} // namespace ui
