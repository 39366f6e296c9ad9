#include "editor/ui/frmReplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "editor/Search.h"
#include "platform/qt/QtDesktop.h"

namespace editor::ui {

namespace {

// The dialog's picture: an arrow from one box to another, the replacement.
QPixmap replacePicture() {
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1.5));
    p.setBrush(QColor(255, 255, 210));
    p.drawRect(3, 3, 16, 12);
    p.setBrush(QColor(210, 235, 255));
    p.drawRect(21, 25, 16, 12);
    p.setPen(QPen(QColor(0, 90, 170), 2));
    p.drawLine(11, 16, 11, 31);
    p.drawLine(11, 31, 19, 31);
    p.drawLine(15, 27, 19, 31);
    p.drawLine(15, 35, 19, 31);
    return pixmap;
}

}  // namespace

frmReplace::frmReplace(SearchState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName("frmReplace");
    setWindowTitle("Find & Replace");
    setModal(true);

    txtFindWhat = new QLineEdit(this);
    txtFindWhat->setObjectName("txtFindWhat");
    txtFindWhat->setMinimumWidth(260);
    txtFindWhat->setPlaceholderText("Find what");
    txtReplaceWith = new QLineEdit(this);
    txtReplaceWith->setObjectName("txtReplaceWith");
    txtReplaceWith->setPlaceholderText("Replace with");
    chkCaseSensitive = new QCheckBox("Case Sensitive", this);
    chkCaseSensitive->setObjectName("chkCaseSensitive");
    pbReplace = new QPushButton("&Replace", this);
    pbReplace->setObjectName("pbReplace");
    pbReplace->setDefault(true);
    pbCancel = new QPushButton("&Cancel", this);
    pbCancel->setObjectName("pbCancel");
    pbCancel->setAutoDefault(false);
    Image2 = new QLabel(this);
    Image2->setObjectName("Image2");
    Image2->setPixmap(replacePicture());

    auto* grid = new QGridLayout(this);
    grid->addWidget(Image2, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(txtFindWhat, 0, 1);
    grid->addWidget(pbReplace, 0, 2);
    grid->addWidget(txtReplaceWith, 1, 1);
    grid->addWidget(pbCancel, 1, 2);
    grid->addWidget(chkCaseSensitive, 2, 1);

    connect(pbReplace, &QPushButton::clicked, this, [this] { pbReplace_Click(); });
    connect(pbCancel, &QPushButton::clicked, this, [this] { pbCancel_Click(); });
}

// The case box sets the flag for later searches; the replacement itself
// always compares with case.
void frmReplace::pbReplace_Click() {
    state_.caseSensitive = chkCaseSensitive->isChecked();
    state_.searchText = platform::fromQt(txtFindWhat->text());
    state_.replacement = platform::fromQt(txtReplaceWith->text());
    command_ = Command::Replace;
    accept();
}

// Cancel forgets the search text, so Find Next does nothing until a new one
// is given.
void frmReplace::pbCancel_Click() {
    state_.searchText.clear();
    state_.replacement.clear();
    command_ = Command::Cancel;
    accept();
}

}  // namespace editor::ui
