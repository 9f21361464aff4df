#include "elidedlabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace {
constexpr int kMinimumChars = 8;  // never narrower than this many average characters
}

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text)
{
    m_fullText = text;
    updateGeometry();
    showFitting();
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QSize base = QLabel::minimumSizeHint();
    return {fontMetrics().averageCharWidth() * kMinimumChars, base.height()};
}

QSize ElidedLabel::sizeHint() const
{
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(m_fullText) + m.left() + m.right() + 2 * margin() + 4,
            QLabel::sizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void ElidedLabel::showFitting()
{
    const int room = contentsRect().width() - 2 * margin();
    const QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideRight, qMax(room, 0));
    setText(shown);
    setToolTip(shown == m_fullText ? QString() : m_fullText);
}
