#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

class Desktop;
class ProgramSettings;
class QCheckBox;
class QLabel;
class QSpinBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The settings the program offers beyond its classic Settings dialog, one row each.
// Opened from the Settings dialog's "More..." button and filled from the program's
// settings; OK writes every row through them at once, Close changes nothing.
class TfMoreSettings : public QDialog {
    Q_OBJECT
public:
    TfMoreSettings(ProgramSettings& config, Desktop& desktop, QWidget* parent = nullptr);

    // Shows the dialog modally; true when it was left with OK.
    bool Run();
    bool accepted() const { return m_accepted; }

    void FillFields();
    void StoreFields();

    QLineEdit* eIdentKey = nullptr;
    QCheckBox* cbNotifications = nullptr;
    QLabel* lNoNotificationService = nullptr;
    QSpinBox* eAlertDamping = nullptr;
    QCheckBox* cbKeepInTray = nullptr;
    QLabel* lNoTray = nullptr;
    QRadioButton* rbTellFreedSlot = nullptr; // a watched host has a free slot: tell me
    QRadioButton* rbJoinFreedSlot = nullptr; // ... or join at once
    QCheckBox* cbFavouriteRacers = nullptr;
    QSpinBox* eFavouriteRacers = nullptr;
    // Asked each time the dialog opens; true disables the tray's row with a reason.
    std::function<bool()> trayMissing;
    // Asked each time the dialog opens; true shows that no service was found.
    std::function<bool()> notificationServiceMissing;
    QPushButton* bOk = nullptr;
    QPushButton* bClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A row's `load` fills its field from memory; StoreFields hands the fields to the
    // settings' setters, which write first, so a failed write leaves memory as it was.
    struct Row {
        QWidget* field;
        std::function<void()> load;
    };
    // Adds a labelled row, with an optional explaining line under the field.
    void addRow(const QString& label, Row row, const QString& note = {});

    // One function per row; the constructor calls them in the order they are shown.
    void addIdentKeyRow();
    void addPresenceRows();
    void addHostWatchRows();

    void addButtonBand();
    void bOkClick();
    void bCloseClick();

    ProgramSettings& m_config;
    Desktop& m_desktop;
    QFormLayout* m_form = nullptr;
    QList<Row> m_rows;
    bool m_accepted = false;
};
