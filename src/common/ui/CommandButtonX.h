#pragma once
#include <QPushButton>

namespace zorva {

// A push button that, besides the click, reports every press of a mouse button with the button's
// number: 1 left, 2 right, 4 middle. The click itself stays the left button's.
class CommandButtonX : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButtonX(const QString& caption, QWidget* parent = nullptr);

signals:
    void mouseDown(int button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace zorva
