#pragma once

#include <QLabel>

namespace ui {

// A label whose caption is shown literally: no rich text, no mnemonics.
// Only a bounded prefix of a long caption is handed to the text layout: no
// more of it can show in the window anyway, and laying out more holds the
// window back in proportion.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    // Twice what the largest label can show in its narrowest characters.
    static constexpr qsizetype ShownLimit = 1024;
    // Enough for ordinary text to overflow a wrapped label; narrower text
    // gets up to ShownLimit.
    static constexpr qsizetype FirstTry = 256;

    explicit CaptionLabel(QStringView caption, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    const QString &caption() const { return m_caption; }

private:
    QString shownPart(const QString &caption) const;
    bool overflows(const QString &text) const;

    QString m_caption;
};

} // namespace ui
