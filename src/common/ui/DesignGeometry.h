#pragma once
#include <QObject>
#include <QRect>
#include <QStringList>
#include <vector>

class QWidget;

namespace zorva {

// A window's design in twips (1/1440 inch), turned into pixels the way dialog units are: one factor
// per window, taken from the font the window actually uses. The factor is at least the design font's
// ratio (an average letter of 90 twips, a line of 195 twips, as 8-point MS Sans Serif has at 96 DPI)
// and large enough that every control shows its caption and the contents it is meant to show whole.
// Since the font's pixel size already follows the screen's DPI, so does the factor; all controls
// keep the design's proportions. A change of the window's font or style lays the window out again.
class DesignGeometry : public QObject {
public:
    // window: the window laid out; size: its client area in twips.
    DesignGeometry(QWidget* window, QSize size);

    // One row of the design: the control, its place in twips relative to its parent (the window, a
    // frame or a tab page, whose own row gives its origin) and the texts it must show whole besides
    // its caption (the alternative captions of a label, the longest value of a box).
    void place(QWidget* control, QRect twips, QStringList contents = {});

    // Sets every control's geometry and the window's fixed size from the current font.
    void apply();

    double factor() const { return factor_; }
    QRect toPixels(QRect twips) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QWidget* control;
        QRect twips;
        QStringList contents;
    };
    double computeFactor() const;

    QWidget* window_;
    QSize size_;
    std::vector<Row> rows_;
    double factor_ = 1.0 / 15;
};

// The pixels a control needs to show a text whole in its current font and style (width and height;
// 0 where the kind of control sets no demand).
QSize sizeForText(const QWidget* control, const QString& text);

}  // namespace zorva
