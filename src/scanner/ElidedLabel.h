#pragma once
// A label that shows a text too long for it with its middle left out, so
// that both ends of a path (where it starts and the file's name) stay in
// sight. text() keeps the whole text.
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace scanner {

class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    // The text as it is drawn: whole when it fits, else with "…" in its middle.
    QString shownText() const { return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width()); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment().toInt()), palette(), isEnabled(),
                              shownText(), foregroundRole());
    }
};

}  // namespace scanner
