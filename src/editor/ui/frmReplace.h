#pragma once
// The Find & Replace dialog: a search text, its replacement and a case
// option. It writes the program-wide search state when a button closes it;
// the editor window replaces afterwards.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace editor {
struct SearchState;
}

namespace editor::ui {

class frmReplace : public QDialog {
    Q_OBJECT
public:
    // Which button closed the dialog; None when it was closed through its
    // frame or with Escape.
    enum class Command { None, Replace, Cancel };

    explicit frmReplace(SearchState& state, QWidget* parent = nullptr);
    Command command() const { return command_; }

private:
    void pbReplace_Click();
    void pbCancel_Click();

    SearchState& state_;
    Command command_ = Command::None;
    QLineEdit* txtFindWhat;
    QLineEdit* txtReplaceWith;
    QCheckBox* chkCaseSensitive;
    QPushButton* pbReplace;
    QPushButton* pbCancel;
    QLabel* Image2;
};

}  // namespace editor::ui
