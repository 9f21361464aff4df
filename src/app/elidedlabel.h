#pragma once

#include <QLabel>

// A one-line label that gives way when room is short: it shows as much of its text as fits, ending in "…",
// and then carries the whole text as its tooltip.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_fullText; }
    bool isElided() const { return text() != m_fullText; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showFitting();

    QString m_fullText;
};
