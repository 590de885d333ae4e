#include "common/ui/DesignGeometry.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>
#include <cmath>

namespace zorva {

namespace {

// The design font's dialog base units: an average letter and a line, in twips.
constexpr double kDesignLetter = 90;
constexpr double kDesignLine = 195;

QString captionOf(const QWidget* control)
{
    if (auto* l = qobject_cast<const QLabel*>(control)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(control)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(control)) return g->title();
    return QString();
}

}  // namespace

QSize sizeForText(const QWidget* control, const QString& text)
{
    const QFontMetrics fm(control->font());
    const int advance = fm.horizontalAdvance(text);
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        const QMargins m = label->contentsMargins();
        const int frame = 2 * (label->frameWidth() + label->margin());
        return QSize(advance + m.left() + m.right() + frame + (label->indent() > 0 ? label->indent() : 0),
                     fm.height() + m.top() + m.bottom() + frame);
    }
    if (auto* box = qobject_cast<const QLineEdit*>(control)) {
        // The box's own hint is room for 17 letters x; the rest of it is frame and margins.
        const QSize hint = box->sizeHint();
        const int chrome = hint.width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
        return QSize(chrome + advance + 1, hint.height());  // 1: the text cursor after the last letter
    }
    if (auto* combo = qobject_cast<const QComboBox*>(control)) {
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        opt.editable = combo->isEditable();
        opt.frame = combo->hasFrame();
        return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(advance, fm.height()), combo);
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        if (button->text() == text) return button->sizeHint();
        return QSize(button->sizeHint().width() - fm.horizontalAdvance(button->text()) + advance,
                     button->sizeHint().height());
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(control)) {
        if (frame->title() == text) return QSize(frame->minimumSizeHint().width(), 0);
    }
    return QSize(0, 0);
}

DesignGeometry::DesignGeometry(QWidget* window, QSize size) : QObject(window), window_(window), size_(size)
{
    window->installEventFilter(this);
}

void DesignGeometry::place(QWidget* control, QRect twips, QStringList contents)
{
    rows_.push_back({control, twips, std::move(contents)});
}

double DesignGeometry::computeFactor() const
{
    const QFontMetricsF fm(window_->font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    double factor = std::max(fm.horizontalAdvance(letters) / letters.size() / kDesignLetter, fm.height() / kDesignLine);
    for (const Row& row : rows_) {
        QStringList texts = row.contents;
        const QString caption = captionOf(row.control);
        if (!caption.isEmpty()) texts << caption;
        for (const QString& text : texts) {
            const QSize need = sizeForText(row.control, text);
            // One pixel more than the need: rounding both edges to pixels may lose one.
            if (need.width() > 0 && row.twips.width() > 0)
                factor = std::max(factor, (need.width() + 1.0) / row.twips.width());
            if (need.height() > 0 && row.twips.height() > 0)
                factor = std::max(factor, (need.height() + 1.0) / row.twips.height());
        }
    }
    return factor;
}

QRect DesignGeometry::toPixels(QRect twips) const
{
    const int left = int(std::lround(twips.left() * factor_));
    const int top = int(std::lround(twips.top() * factor_));
    const int right = int(std::lround((twips.left() + twips.width()) * factor_));
    const int bottom = int(std::lround((twips.top() + twips.height()) * factor_));
    return QRect(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
}

void DesignGeometry::apply()
{
    factor_ = computeFactor();
    for (const Row& row : rows_) row.control->setGeometry(toPixels(row.twips));
    window_->setFixedSize(toPixels(QRect(QPoint(0, 0), size_)).size());
}

bool DesignGeometry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) apply();
    return QObject::eventFilter(watched, event);
}

}  // namespace zorva
