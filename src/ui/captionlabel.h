#pragma once

#include <QLabel>

namespace ui {

// A label whose caption is shown literally: no rich text, no mnemonics.
// Only a bounded prefix of a very long caption is handed to the text layout,
// since no more of it can fit in the window anyway and laying out megabytes
// would hold the window back.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    // Twice what the largest label can show in its narrowest characters.
    // Laying out more costs time in proportion before the window can show.
    static constexpr qsizetype ShownLimit = 1024;

    explicit CaptionLabel(QStringView caption, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    const QString &caption() const { return m_caption; }

private:
    QString m_caption;
};

} // namespace ui
