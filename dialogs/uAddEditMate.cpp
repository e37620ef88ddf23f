#include "uAddEditMate.h"

#include "DialogLook.h"
#include "ErrorHandler.h"
#include "MateRecord.h"
#include "Pictures.h"
#include "QuillonPubStats.h"
#include "SingleByteText.h"

#include <QCollator>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const char* const TagProperty = "Tag";

// The drop-down sorts as a sorted list box does: by the locale, ignoring case.
const QCollator& GroupCollator() {
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

QLabel* AddLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->resize(label->sizeHint());
    return label;
}

QLabel* AddNote(QWidget* parent, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Two lines of the fallback face can be a pixel or two taller than the room given.
    label->setGeometry(
        place.adjusted(0, 0, 0, qMax(0, label->heightForWidth(place.width()) - place.height())));
    return label;
}

QLineEdit* AddEdit(QWidget* parent, const QString& name, int y, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(18, y, 181, 21);
    // What the record cannot hold is not taken in the first place.
    edit->setMaxLength(int(maxLength));
    return edit;
}

void AddPicture(QWidget* parent, const QPixmap& picture, int x, int y) {
    auto* label = new QLabel(parent);
    label->setPixmap(picture);
    label->setGeometry(QRect(QPoint(x, y), picture.deviceIndependentSize().toSize()));
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& text,
                       Pictures::Glyph glyph, int x, int y) {
    auto* button = new QPushButton(Pictures::GlyphIcon(glyph), text, parent);
    button->setObjectName(name);
    button->setIconSize(QSize(16, 16));
    button->setGeometry(x, y, 75, 25);
    return button;
}

} // namespace

TfAddEditMate::TfAddEditMate(QuillonPubStats& stats, RosterCommands& commands, Desktop& desktop,
                             QWidget* parent)
    : QDialog(parent), m_stats(stats), m_commands(commands), m_desktop(desktop) {
    SetUpToolDialog(this, QStringLiteral("Add/Edit Mate..."), 392, 306);
    setModal(true);

    QLabel* lGroupCaption = AddLabel(this, QStringLiteral("Group:"), 18, 12);
    // Made before the drop-down, which lies on top of it while shown.
    lGroup = new QLabel(this);
    lGroup->setObjectName(QStringLiteral("lGroup"));
    lGroup->setTextFormat(Qt::PlainText);
    QFont bold = lGroup->font();
    bold.setBold(true);
    lGroup->setFont(bold);
    lGroup->setGeometry(18, 34, 185, 16);
    cbGroups = new QComboBox(this);
    cbGroups->setObjectName(QStringLiteral("cbGroups"));
    cbGroups->setEditable(false);
    cbGroups->setGeometry(18, 30, 157, 21);
    lGroupCaption->setBuddy(cbGroups); // a screen reader reads each field by its label
    AddNote(this, QStringLiteral("Add the following Mate to the selected group"),
            QRect(210, 21, 138, 26));
    AddPicture(this, Pictures::GroupOfPeople(), 354, 18);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, 66, 391, 2);

    QLabel* lLFSName = AddLabel(this, QStringLiteral("LFS Name*:"), 18, 84);
    eLFSName = AddEdit(this, QStringLiteral("eLFSName"), 102, MateRecord::LfsNameMax);
    lLFSName->setBuddy(eLFSName);
    AddNote(this, QStringLiteral("Fill in the LFS name and the other optional infos"),
            QRect(222, 105, 126, 26));
    AddPicture(this, Pictures::PersonWithText(), 354, 102);
    QLabel* lNick = AddLabel(this, QStringLiteral("Description/Nick:"), 18, 138);
    eNick = AddEdit(this, QStringLiteral("eNick"), 156, MateRecord::NickMax);
    lNick->setBuddy(eNick);
    QLabel* lTeam = AddLabel(this, QStringLiteral("LFS Team:"), 18, 186);
    eTeam = AddEdit(this, QStringLiteral("eTeam"), 204, MateRecord::TeamMax);
    lTeam->setBuddy(eTeam);
    QLabel* lHomepage = AddLabel(this, QStringLiteral("Homepage:"), 18, 234);
    eHomepage = AddEdit(this, QStringLiteral("eHomepage"), 252, MateRecord::HomepageMax);
    lHomepage->setBuddy(eHomepage);

    bAdd = AddButton(this, QStringLiteral("bAdd"), QStringLiteral("Add"), Pictures::Glyph::Add, 282,
                     216);
    bAdd->setProperty(TagProperty, 0);
    bAdd->setDefault(true);
    bClose = AddButton(this, QStringLiteral("bClose"), QStringLiteral("Close"),
                       Pictures::Glyph::Close, 282, 252);
    // Enter on the focused Close button closes, as on any dialog; elsewhere it is Add.
    bClose->setAutoDefault(true);

    QLabel* footnote = AddLabel(this, QStringLiteral("*) required; case sensitiv"), 6, 288);
    footnote->setFont(DialogFont(9, QStringLiteral("Arial")));
    footnote->resize(footnote->sizeHint());

    SetTabChain({eLFSName, eNick, eTeam, eHomepage, bAdd, bClose, cbGroups});

    connect(bAdd, &QPushButton::clicked, this, &TfAddEditMate::bAddClick);
    connect(bClose, &QPushButton::clicked, this, &TfAddEditMate::bCloseClick);

    refillGroups();
}

bool TfAddEditMate::editMode() const {
    return bAdd->property(TagProperty).toInt() == 1;
}

void TfAddEditMate::PrepareAdd(const QString& group) {
    bAdd->setProperty(TagProperty, 0);
    m_presetGroup = group;
    setFields({}, {}, {}, {});
}

void TfAddEditMate::PrepareEdit(const RosterCommands::EditPreset& preset) {
    bAdd->setProperty(TagProperty, 1);
    m_presetGroup = preset.group;
    setFields(ToDisplay(preset.lfsName), ToDisplay(preset.nick), ToDisplay(preset.team),
              ToDisplay(preset.homepage));
    lGroup->setText(preset.group);
}

int TfAddEditMate::RunModal() {
    return exec();
}

void TfAddEditMate::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        refillGroups();
        // The group is found again by its name: a refresh may have changed the list
        // since the caller chose it.
        if (cbGroups->count() > 0)
            cbGroups->setCurrentIndex(
                cbGroups->findText(m_presetGroup, Qt::MatchExactly | Qt::MatchCaseSensitive));
        const bool edit = editMode();
        cbGroups->setVisible(!edit);
        lGroup->setVisible(edit);
        bAdd->setText(edit ? QStringLiteral("Apply") : QStringLiteral("Add"));
        CentreOnParent(this);
        eLFSName->setFocus();
    }
    QDialog::showEvent(event);
}

// Escape leaves the dialog as it is; only Close and the close box end it.
void TfAddEditMate::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfAddEditMate::groupCreated(const QString& group) {
    insertGroup(group);
}

void TfAddEditMate::groupDeleted(const QString& group) {
    const int index = cbGroups->findText(group, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        cbGroups->removeItem(index);
}

void TfAddEditMate::bAddClick() {
    if (editMode())
        applyMate();
    else
        addMate();
}

void TfAddEditMate::bCloseClick() {
    reject();
}

void TfAddEditMate::addMate() {
    if (eLFSName->text().isEmpty())
        return;
    // With no group chosen the file path would be the extension alone.
    if (cbGroups->currentIndex() < 0) {
        m_desktop.beep();
        return;
    }
    const QString group = cbGroups->currentText();
    const MateRecord record = recordFromFields();
    Guarded(m_desktop, [&] {
        // A duplicate is answered with the beep by the command; the fields stay.
        if (m_commands.AddMate(group, record) != RosterCommands::AddResult::Added)
            return;
        setFields({}, {}, {}, {});
        eLFSName->setFocus();
    });
}

void TfAddEditMate::applyMate() {
    if (eLFSName->text().isEmpty()) {
        accept();
        return;
    }
    const MateRecord record = recordFromFields();
    const QString group = lGroup->text();
    // A failed rewrite keeps the dialog open so that the user can try again.
    if (Guarded(m_desktop, [&] { m_commands.ApplyMate(group, record); }))
        accept();
}

MateRecord TfAddEditMate::recordFromFields() const {
    return MateRecord::make(FromDisplay(eLFSName->text()), FromDisplay(eNick->text()),
                            FromDisplay(eTeam->text()), FromDisplay(eHomepage->text()));
}

void TfAddEditMate::setFields(const QString& lfsName, const QString& nick, const QString& team,
                              const QString& homepage) {
    eLFSName->setText(lfsName);
    eNick->setText(nick);
    eTeam->setText(team);
    eHomepage->setText(homepage);
}

void TfAddEditMate::refillGroups() {
    cbGroups->clear();
    for (const QString& group : m_stats.groups())
        insertGroup(group);
}

void TfAddEditMate::insertGroup(const QString& group) {
    int index = 0;
    while (index < cbGroups->count() &&
           GroupCollator().compare(cbGroups->itemText(index), group) <= 0)
        ++index;
    cbGroups->insertItem(index, group);
}
