#pragma once

#include <QLabel>
#include <QStringView>

namespace qtplatform {

// A label whose caption is shown literally: no rich text, no mnemonics.
// A label that wraps shows whole lines only, as many as its height holds;
// when the caption goes on past them, the last one ends in "…", and the
// caption itself, up to DescribedLimit characters, is the label's tooltip
// and accessible description. Only a bounded prefix of a long caption is
// handed to the text layout, or even copied: no more of it can show in the
// window anyway, and laying out more holds the window back in proportion.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    // Twice what the largest label can show in its narrowest characters.
    static constexpr qsizetype ShownLimit = 1024;
    // Enough for ordinary text to overflow a wrapped label; narrower text
    // gets up to ShownLimit.
    static constexpr qsizetype FirstTry = 256;
    // What the tooltip and the description carry of a longer caption: far
    // more than a chat message, far less than the 1 MiB a notification may be.
    static constexpr qsizetype DescribedLimit = 65536;

    explicit CaptionLabel(QWidget *parent = nullptr);

    // Lays out the caption at the label's present size and word wrap.
    void setCaption(QStringView caption);
    // The caption as the label was given it: whole when it shows whole, or
    // as its description carries it.
    QString caption() const { return accessibleDescription().isEmpty() ? text() : accessibleDescription(); }

private:
    struct Lines
    {
        QString shown;
        bool cut = false;
    };

    Lines wholeLines(QStringView caption, int lineCount) const;
    void describe(QStringView caption);
};

} // namespace qtplatform
