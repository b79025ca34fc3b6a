#pragma once

#include "platform/windowlayout.h"

#include <QLabel>
#include <QStringView>
#include <QTextLayout>

namespace qtplatform {

// A label whose caption is shown literally: no rich text, no mnemonics.
// The caption is laid out once, when it is set, and only as far as it
// shows; painting draws that layout. A label that wraps shows whole lines
// only, as many as its height holds; a caption longer than its place ends
// in "…" where it is cut, and a wrapped one is then the label's tooltip,
// bounded, and its accessible description, up to announcement::DescribedLimit
// characters. Only a bounded prefix of a long caption is handed to the text
// layout, or even copied: no more of it can show in the window anyway, and
// laying out more holds the window back in proportion.
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

    // Pixels from one wrapped line's top to the next; 0, the default: the
    // font's own spacing. Takes effect with the next caption.
    void setLinePitch(int pixels) { m_linePitch = pixels; }
    // Lays out the caption at the label's present size, font and word wrap.
    void setCaption(QStringView caption);
    // A caption that is to be replaced before the label shows: kept as it
    // is, and laid out only if it is ever drawn.
    void setPlaceholder(QStringView caption);
    // The caption as the label was given it: whole when it shows whole, or
    // as its description carries it.
    QString caption() const { return accessibleDescription().isEmpty() ? text() : accessibleDescription(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Lays out text at the label's width, as many lines as it shows and one
    // more to tell whether more follows; returns how many lines it shows.
    int layOut(QString text, int maxLines);
    int pitchOf(const QTextLine &line) const;
    void describe(QStringView caption);

    QTextLayout m_layout;
    bool m_laidOut = false;
    int m_linePitch = 0;
};

} // namespace qtplatform
