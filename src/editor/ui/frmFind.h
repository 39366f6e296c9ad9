#pragma once
// The Find dialog: a search text, a direction and a case option. It writes
// the program-wide search state as the user works in it; the editor window
// runs the search after it has closed.
#include <QDialog>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace editor {
struct SearchState;
}

namespace editor::ui {

class frmFind : public QDialog {
    Q_OBJECT
public:
    // Which button closed the dialog; None when it was closed through its
    // frame or with Escape.
    enum class Command { None, Find, Cancel };

    // Form_Load: the Find button starts disabled and the direction is down.
    explicit frmFind(SearchState& state, QWidget* parent = nullptr);

    // Puts the editor's selection into the search box.
    void setSearchText(const std::string& text);
    Command command() const { return command_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Text1_Change();
    void optDirection_Click(int index);
    void chkCase_Click();
    void cmdFind_Click();
    void cmdcancel_Click();

    SearchState& state_;
    Command command_ = Command::None;
    QLabel* Label1;
    QLineEdit* Text1;
    QGroupBox* Frame1;
    QRadioButton* optDirection[2];
    QCheckBox* chkCase;
    QPushButton* cmdFind;
    QPushButton* cmdcancel;
};

}  // namespace editor::ui
