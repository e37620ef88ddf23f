#pragma once

#include "RosterCommands.h"

#include <QDialog>
#include <QString>

class Desktop;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QuillonPubStats;

// Add/Edit Mate: adds mates to a chosen group one after another, or changes nick,
// team and homepage of one mate. Created once; the callers prepare it, then run it.
class TfAddEditMate : public QDialog {
    Q_OBJECT
public:
    TfAddEditMate(QuillonPubStats& stats, RosterCommands& commands, Desktop& desktop,
                  QWidget* parent = nullptr);

    // Add mode, empty fields, the group preselected when it is in the list.
    void PrepareAdd(const QString& group);
    // Edit mode with the mate's values; the group shows as a bold label.
    void PrepareEdit(const RosterCommands::EditPreset& preset);
    int RunModal();

    bool editMode() const;

    QPushButton* bAdd = nullptr; // its "Tag" property: 0 add mode, 1 edit mode
    QPushButton* bClose = nullptr;
    QComboBox* cbGroups = nullptr;
    QLineEdit* eLFSName = nullptr;
    QLineEdit* eNick = nullptr;
    QLineEdit* eTeam = nullptr;
    QLineEdit* eHomepage = nullptr;
    QLabel* lGroup = nullptr;

public Q_SLOTS:
    // Keep the drop-down in step with the group list between openings.
    void groupCreated(const QString& group);
    void groupDeleted(const QString& group);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void bAddClick();
    void bCloseClick();
    void addMate();
    void applyMate();
    MateRecord recordFromFields() const;
    void setFields(const QString& lfsName, const QString& nick, const QString& team,
                   const QString& homepage);
    void refillGroups();
    void insertGroup(const QString& group);

    QuillonPubStats& m_stats;
    RosterCommands& m_commands;
    Desktop& m_desktop;
    QString m_presetGroup;
};
