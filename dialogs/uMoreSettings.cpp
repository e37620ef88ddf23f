#include "uMoreSettings.h"

#include "Desktop.h"
#include "DialogLook.h"
#include "ErrorHandler.h"
#include "HostListQuery.h"
#include "Pictures.h"
#include "ProgramSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int FieldWidth = 330;

QPushButton* BandButton(QWidget* parent, const QString& name, const QString& text,
                        Pictures::Glyph glyph) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setIcon(Pictures::GlyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(75, 25);
    return button;
}

} // namespace

TfMoreSettings::TfMoreSettings(ProgramSettings& config, Desktop& desktop, QWidget* parent)
    : QDialog(parent), m_config(config), m_desktop(desktop) {
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setWindowTitle(QStringLiteral("More settings..."));
    setFont(DialogFont());
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The dialog grows with its rows and cannot be resized by hand.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    m_form = new QFormLayout;
    m_form->setContentsMargins(10, 10, 10, 12);
    m_form->setHorizontalSpacing(8);
    m_form->setVerticalSpacing(6);
    m_form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    outer->addLayout(m_form);

    addIdentKeyRow();
    addPresenceRows();
    addHostWatchRows();

    addButtonBand();
    FillFields();
}

void TfMoreSettings::addRow(const QString& label, Row row, const QString& note) {
    auto* caption = new QLabel(label, this);
    caption->setTextFormat(Qt::PlainText);
    caption->setBuddy(row.field);
    m_form->addRow(caption, row.field);
    if (!note.isEmpty()) {
        auto* explain = new QLabel(note, this);
        explain->setTextFormat(Qt::PlainText);
        explain->setWordWrap(true);
        explain->setFixedWidth(FieldWidth);
        // Greyed like a hint, yet readable (a disabled label is too faint, and screen
        // readers pass over it).
        QPalette hint = explain->palette();
        QColor text = hint.color(QPalette::WindowText);
        text.setAlpha(170);
        hint.setColor(QPalette::WindowText, text);
        explain->setPalette(hint);
        m_form->addRow(QString(), explain);
    }
    m_rows.append(std::move(row));
}

void TfMoreSettings::addIdentKeyRow() {
    eIdentKey = new QLineEdit(this);
    eIdentKey->setObjectName(QStringLiteral("eIdentKey"));
    eIdentKey->setFixedWidth(FieldWidth);
    eIdentKey->setMaxLength(MaxIdentKeyLength);
    // The validator refuses typed and pasted text alike; a refused key press beeps.
    eIdentKey->setValidator(
        new QRegularExpressionValidator(QRegularExpression(IdentKeyPattern()), eIdentKey));
    connect(eIdentKey, &QLineEdit::inputRejected, this, [this] { m_desktop.beep(); });
    addRow(QStringLiteral("Ident key:"),
           {eIdentKey,
            [this] {
                // A hand-edited key the field cannot hold is shown empty: OK then clears it.
                const QString key = m_config.app.identKey;
                eIdentKey->setText(IsValidIdentKey(key) ? key : QString());
            }},
           QStringLiteral("Letters and digits from your LFS World account, where each account "
                          "can create one. It is sent with every host-list request; without "
                          "it the service may answer with a note instead of the list."));
}

void TfMoreSettings::addPresenceRows() {
    cbNotifications = new QCheckBox(QStringLiteral("Tell me when my mates come online"), this);
    cbNotifications->setObjectName(QStringLiteral("cbNotifications"));
    lNoNotificationService = new QLabel(
        QStringLiteral("No notification service was found on this desktop, so none can be "
                       "shown."),
        this);
    lNoNotificationService->setTextFormat(Qt::PlainText);
    lNoNotificationService->setWordWrap(true);
    lNoNotificationService->setFixedWidth(FieldWidth);
    auto* notifications = new QWidget(this);
    auto* column = new QVBoxLayout(notifications);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(cbNotifications);
    column->addWidget(lNoNotificationService);
    const auto loadNotifications = [this] {
        cbNotifications->setChecked(m_config.options.notifications);
        lNoNotificationService->setVisible(notificationServiceMissing &&
                                           notificationServiceMissing());
    };
    addRow(QStringLiteral("Desktop notifications:"), {notifications, loadNotifications});

    eAlertDamping = new QSpinBox(this);
    eAlertDamping->setObjectName(QStringLiteral("eAlertDamping"));
    eAlertDamping->setRange(0, 120);
    eAlertDamping->setSuffix(QStringLiteral(" min"));
    eAlertDamping->setFixedWidth(90);
    addRow(QStringLiteral("Quiet after a drop-out:"),
           {eAlertDamping, [this] { eAlertDamping->setValue(m_config.options.dampingMinutes); }},
           QStringLiteral("A mate who went offline less than this ago and is back is not "
                          "announced again."));

    cbKeepInTray =
        new QCheckBox(QStringLiteral("Keep running in the tray when the window is closed"), this);
    cbKeepInTray->setObjectName(QStringLiteral("cbKeepInTray"));
    lNoTray = new QLabel(QStringLiteral("This desktop shows no tray now."), this);
    lNoTray->setTextFormat(Qt::PlainText);
    lNoTray->setWordWrap(true);
    lNoTray->setFixedWidth(FieldWidth);
    auto* tray = new QWidget(this);
    auto* trayColumn = new QVBoxLayout(tray);
    trayColumn->setContentsMargins(0, 0, 0, 0);
    trayColumn->addWidget(cbKeepInTray);
    trayColumn->addWidget(lNoTray);
    const auto loadTray = [this] {
        cbKeepInTray->setChecked(m_config.options.keepInTray);
        // The choice is kept all the same: it counts once a tray is there.
        const bool missing = trayMissing && trayMissing();
        cbKeepInTray->setEnabled(!missing);
        lNoTray->setVisible(missing);
    };
    addRow(QStringLiteral("Tray:"), {tray, loadTray});
}

void TfMoreSettings::addHostWatchRows() {
    auto* freedSlot = new QWidget(this);
    auto* choices = new QHBoxLayout(freedSlot);
    choices->setContentsMargins(0, 0, 0, 0);
    rbTellFreedSlot = new QRadioButton(QStringLiteral("tell me"), freedSlot);
    rbJoinFreedSlot = new QRadioButton(QStringLiteral("join at once"), freedSlot);
    choices->addWidget(rbTellFreedSlot);
    choices->addWidget(rbJoinFreedSlot);
    choices->addStretch();
    addRow(
        QStringLiteral("When a watched host has a free slot:"),
        {freedSlot,
         [this] {
             (m_config.options.joinFreedSlot ? rbJoinFreedSlot : rbTellFreedSlot)->setChecked(true);
         }},
        QStringLiteral("A full host's row menu offers \"Join when a slot frees\"; join at "
                       "once starts the game without asking."));

    auto* favourites = new QWidget(this);
    auto* line = new QHBoxLayout(favourites);
    line->setContentsMargins(0, 0, 0, 0);
    cbFavouriteRacers =
        new QCheckBox(QStringLiteral("Tell me when a favourite host has at least"), favourites);
    eFavouriteRacers = new QSpinBox(favourites);
    eFavouriteRacers->setRange(1, MaxHostRacers);
    eFavouriteRacers->setValue(8); // until the user has chosen a number
    eFavouriteRacers->setFixedWidth(60);
    eFavouriteRacers->setAccessibleName(QStringLiteral("Racers on a favourite host"));
    auto* racers = new QLabel(QStringLiteral("racers"), favourites);
    racers->setTextFormat(Qt::PlainText);
    line->addWidget(cbFavouriteRacers);
    line->addWidget(eFavouriteRacers);
    line->addWidget(racers);
    line->addStretch();
    connect(cbFavouriteRacers, &QCheckBox::toggled, eFavouriteRacers, &QWidget::setEnabled);
    const auto loadFavourites = [this] {
        // Off keeps the spin box at its last number, to switch on again with it.
        const int racers = m_config.options.favouriteRacers;
        cbFavouriteRacers->setChecked(racers > 0);
        eFavouriteRacers->setEnabled(racers > 0);
        if (racers > 0)
            eFavouriteRacers->setValue(racers);
    };
    addRow(QStringLiteral("Favourite hosts:"), {favourites, loadFavourites},
           QStringLiteral("Told once as the racers rise to the number, and again only after "
                          "they have fallen below it."));
}

void TfMoreSettings::addButtonBand() {
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout()->addWidget(rule);

    auto* band = new QHBoxLayout;
    band->setContentsMargins(10, 8, 10, 8);
    band->setSpacing(8);
    band->addStretch();
    bOk = BandButton(this, QStringLiteral("bOk"), QStringLiteral("OK"), Pictures::Glyph::Ok);
    bOk->setDefault(true);
    bClose =
        BandButton(this, QStringLiteral("bClose"), QStringLiteral("Close"), Pictures::Glyph::Close);
    bClose->setAutoDefault(false);
    band->addWidget(bOk);
    band->addWidget(bClose);
    static_cast<QVBoxLayout*>(layout())->addLayout(band);

    QWidget* previous = nullptr;
    for (const Row& row : std::as_const(m_rows)) {
        if (previous)
            setTabOrder(previous, row.field);
        previous = row.field;
    }
    if (previous)
        setTabOrder(previous, bOk);
    setTabOrder(bOk, bClose);

    connect(bOk, &QPushButton::clicked, this, &TfMoreSettings::bOkClick);
    connect(bClose, &QPushButton::clicked, this, &TfMoreSettings::bCloseClick);
}

bool TfMoreSettings::Run() {
    exec();
    return m_accepted;
}

void TfMoreSettings::FillFields() {
    for (const Row& row : std::as_const(m_rows))
        row.load();
}

// Each key is written alone, in the order of the rows.
void TfMoreSettings::StoreFields() {
    m_config.setIdentKey(eIdentKey->text());
    PresenceOptions chosen;
    chosen.notifications = cbNotifications->isChecked();
    chosen.dampingMinutes = eAlertDamping->value();
    chosen.keepInTray = cbKeepInTray->isChecked();
    chosen.joinFreedSlot = rbJoinFreedSlot->isChecked();
    chosen.favouriteRacers = cbFavouriteRacers->isChecked() ? eFavouriteRacers->value() : 0;
    m_config.setOptions(chosen);
}

void TfMoreSettings::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        m_accepted = false;
        FillFields();
        CentreOnParent(this);
        if (!m_rows.isEmpty())
            m_rows.first().field->setFocus();
    }
    QDialog::showEvent(event);
}

void TfMoreSettings::bOkClick() {
    Guarded(m_desktop, [this] {
        StoreFields();
        m_accepted = true;
        accept();
    });
}

void TfMoreSettings::bCloseClick() {
    m_accepted = false;
    reject();
}
