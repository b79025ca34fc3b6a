#pragma once

#include <QLabel>
#include <QStringView>

namespace qtplatform {

// A label whose caption is shown literally: no rich text, no mnemonics.
// Only a bounded prefix of a long caption is handed to the text layout, or
// even copied: no more of it can show in the window anyway, and laying out
// more holds the window back in proportion.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    // Twice what the largest label can show in its narrowest characters.
    static constexpr qsizetype ShownLimit = 1024;
    // Enough for ordinary text to overflow a wrapped label; narrower text
    // gets up to ShownLimit.
    static constexpr qsizetype FirstTry = 256;

    explicit CaptionLabel(QWidget *parent = nullptr);

    // Lays out the caption at the label's present size and word wrap.
    void setCaption(QStringView caption);

private:
    QStringView shownPart(QStringView caption) const;
    bool overflows(const QString &text) const;
};

} // namespace qtplatform
