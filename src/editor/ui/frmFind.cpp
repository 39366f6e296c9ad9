#include "editor/ui/frmFind.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/Search.h"
#include "platform/qt/QtDesktop.h"

namespace editor::ui {

frmFind::frmFind(SearchState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName("frmFind");
    setWindowTitle("Find");
    setModal(true);

    Label1 = new QLabel("Fi&nd What:", this);
    Label1->setObjectName("Label1");
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setMinimumWidth(260);
    Label1->setBuddy(Text1);

    Frame1 = new QGroupBox("Direction", this);
    Frame1->setObjectName("Frame1");
    const char* const directionCaptions[2] = {"&Up", "&Down"};
    auto* frameLayout = new QHBoxLayout(Frame1);
    for (int i = 0; i < 2; ++i) {
        // A control array: both buttons carry the same name and their index.
        optDirection[i] = new QRadioButton(directionCaptions[i], Frame1);
        optDirection[i]->setObjectName("optDirection");
        optDirection[i]->setProperty("index", i);
        frameLayout->addWidget(optDirection[i]);
    }
    optDirection[1]->setChecked(true);

    chkCase = new QCheckBox("Match &Case", this);
    chkCase->setObjectName("chkCase");

    cmdFind = new QPushButton("&Find", this);
    cmdFind->setObjectName("cmdFind");
    cmdFind->setDefault(true);
    cmdcancel = new QPushButton("&Cancel", this);
    cmdcancel->setObjectName("cmdcancel");
    cmdcancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1, 1, 2);
    grid->addWidget(cmdFind, 0, 3);
    grid->addWidget(chkCase, 1, 0, 1, 2, Qt::AlignBottom);
    grid->addWidget(Frame1, 1, 2);
    grid->addWidget(cmdcancel, 1, 3, Qt::AlignTop);

    // Form_Load
    cmdFind->setEnabled(false);
    state_.direction = 1;

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    for (int i = 0; i < 2; ++i)
        connect(optDirection[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optDirection_Click(i);
        });
    connect(chkCase, &QCheckBox::toggled, this, [this] { chkCase_Click(); });
    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdcancel, &QPushButton::clicked, this, [this] { cmdcancel_Click(); });
}

void frmFind::setSearchText(const std::string& text) { Text1->setText(platform::toQt(text)); }

void frmFind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Text1->setFocus();
}

void frmFind::Text1_Change() { cmdFind->setEnabled(!Text1->text().isEmpty()); }

void frmFind::optDirection_Click(int index) { state_.direction = index; }

void frmFind::chkCase_Click() { state_.caseSensitive = chkCase->isChecked(); }

void frmFind::cmdFind_Click() {
    state_.searchText = platform::fromQt(Text1->text());
    command_ = Command::Find;
    accept();
}

// Cancel still hands the typed text and the case option to the search that
// follows the dialog.
void frmFind::cmdcancel_Click() {
    state_.searchText = platform::fromQt(Text1->text());
    state_.caseSensitive = chkCase->isChecked();
    command_ = Command::Cancel;
    accept();
}

}  // namespace editor::ui
