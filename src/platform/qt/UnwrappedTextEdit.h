#pragma once
// A plain text box whose lines never wrap. A change of its width then
// changes no line, but the stock text box lays out every line again on each
// one (and keeps a layout object per line from then on), which takes seconds
// and hundreds of megabytes on a text of half a million lines. Only a change
// of the height is passed on.
#include <QPlainTextEdit>
#include <QResizeEvent>

namespace platform {

class UnwrappedTextEdit : public QPlainTextEdit {
public:
    explicit UnwrappedTextEdit(QWidget* parent = nullptr) : QPlainTextEdit(parent) { setLineWrapMode(NoWrap); }

protected:
    void resizeEvent(QResizeEvent* e) override {
        QResizeEvent heightOnly(e->size(), QSize(e->size().width(), e->oldSize().height()));
        QPlainTextEdit::resizeEvent(&heightOnly);
    }
};

}  // namespace platform
