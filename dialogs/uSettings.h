#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

struct AppSettings;
class Desktop;
class GameSearch;
class ProgramSettings;
class QComboBox;
class QLineEdit;
class QPushButton;
class TfMoreSettings;

// The Settings dialog: edits the four general settings in memory and saves them through
// the program's settings on OK. Created once, hidden between uses.
class TfSettings : public QDialog {
    Q_OBJECT
public:
    TfSettings(ProgramSettings& config, Desktop& desktop, QWidget* parent = nullptr);

    // "All countries", the countries and regions in order, "Other": 238 entries.
    static const QStringList& CountryList();

    // Shows the dialog modally; true when the last OK/Close of the dialog was OK.
    // A title-bar close or Escape leaves the outcome as the previous use set it.
    bool Run();
    bool accepted() const { return m_accepted; }

    void FillFields();
    void StoreFields();

    QLineEdit* eLFSPath = nullptr;
    QPushButton* bBrowse = nullptr;
    QLineEdit* eInterval = nullptr;
    QComboBox* cbCountry = nullptr;
    QLineEdit* eNumHighlights = nullptr;
    QPushButton* bOk = nullptr;
    QPushButton* bClose = nullptr;
    QPushButton* bMore = nullptr;
    TfMoreSettings* fMoreSettings = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bBrowseClick();
    void browseFrom(const QString& folder);
    void bOkClick();
    void bCloseClick();
    void bMoreClick();
    QLineEdit* makeDigitsEdit(const QString& name, int x, int y, int width);

    ProgramSettings& m_config;
    AppSettings& m_settings;
    Desktop& m_desktop;
    GameSearch* m_gameSearch = nullptr;
    bool m_accepted = false;
};
