#include "textbox/SourceTextAccessible.h"

#include <QAccessibleWidget>
#include <algorithm>
#include <climits>

#include "textbox/SourceTextView.h"

namespace textbox {
namespace {

class SourceTextAccessible : public QAccessibleWidget,
                             public QAccessibleTextInterface,
                             public QAccessibleEditableTextInterface {
public:
    explicit SourceTextAccessible(SourceTextView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface && !view()->isReadOnly())
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !view()->isReadOnly();
        s.readOnly = view()->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return text(0, characterCount());
        return QAccessibleWidget::text(t);
    }

    // Text.
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || selectionCount() == 0) return;
        *start = offset(view()->selectionStart());
        *end = offset(view()->selectionEnd());
    }
    int selectionCount() const override { return view()->selectionStart() != view()->selectionEnd() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { view()->setSelection(view()->caret(), view()->caret()); }
    void setSelection(int, int start, int end) override { view()->setSelection(start, end); }
    int cursorPosition() const override { return offset(view()->caret()); }
    void setCursorPosition(int position) override { view()->setSelection(position, position); }
    QString text(int start, int end) const override {
        const TextBuffer& buf = view()->buffer();
        const std::u16string t =
            buf.text(std::clamp<std::int64_t>(start, 0, buf.size()), std::clamp<std::int64_t>(end, start, buf.size()));
        return QString(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
    }
    int characterCount() const override { return offset(view()->buffer().size()); }
    QRect characterRect(int position) const override {
        const QRect r = view()->characterRect(position);
        return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint at = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(at)) return -1;
        return offset(view()->positionAt(at));
    }
    void scrollToSubstring(int start, int end) override {
        view()->setSelection(start, end);
        view()->ensureCaretVisible();
    }
    QString attributes(int position, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        Q_UNUSED(position);
        return {};
    }
    // A line is its characters and its line end, found from the buffer's
    // index of lines rather than from a copy of the whole text.
    QString textAtOffset(int position, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAtOffset(position, type, start, end);
        const TextBuffer& buf = view()->buffer();
        const std::int64_t line = buf.lineOf(std::clamp<std::int64_t>(position, 0, buf.size()));
        *start = offset(buf.lineStart(line));
        *end = offset(line + 1 < buf.lineCount() ? buf.lineStart(line + 1) : buf.size());
        return text(*start, *end);
    }
    QString textBeforeOffset(int position, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textBeforeOffset(position, type, start, end);
        const TextBuffer& buf = view()->buffer();
        const std::int64_t line = buf.lineOf(std::clamp<std::int64_t>(position, 0, buf.size()));
        if (line == 0) {
            *start = *end = -1;
            return {};
        }
        return textAtOffset(offset(buf.lineStart(line - 1)), type, start, end);
    }
    QString textAfterOffset(int position, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAfterOffset(position, type, start, end);
        const TextBuffer& buf = view()->buffer();
        const std::int64_t line = buf.lineOf(std::clamp<std::int64_t>(position, 0, buf.size()));
        if (line + 1 >= buf.lineCount()) {
            *start = *end = -1;
            return {};
        }
        return textAtOffset(offset(buf.lineStart(line + 1)), type, start, end);
    }

    // Editable text: as if the user had selected and typed.
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int position, const QString& text) override { replaceText(position, position, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (view()->isReadOnly()) return;
        view()->setSelection(start, end);
        view()->replaceSelection(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                     static_cast<std::size_t>(text.size())));
    }

private:
    SourceTextView* view() const { return static_cast<SourceTextView*>(widget()); }
    static int offset(std::int64_t pos) { return static_cast<int>(std::min<std::int64_t>(pos, INT_MAX)); }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String(SourceTextView::staticMetaObject.className()) && object && object->isWidgetType())
        return new SourceTextAccessible(static_cast<SourceTextView*>(object));
    return nullptr;
}

}  // namespace

void installSourceTextAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace textbox
