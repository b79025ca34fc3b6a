#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

namespace qtplatform {

// A filled rectangle with an optional one-pixel border; a one-pixel high
// shape serves as a line.
class Shape : public QWidget
{
    Q_OBJECT

public:
    Shape(QColor fill, std::optional<QColor> border, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
    std::optional<QColor> m_border;
};

} // namespace qtplatform
