#include "uSettings.h"

#include "AppSettings.h"
#include "DialogLook.h"
#include "ErrorHandler.h"
#include "GameSearch.h"
#include "Pictures.h"
#include "ProgramSettings.h"
#include "QuillonTools.h"
#include "uMoreSettings.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <limits>

namespace {

constexpr int BandHeight = 41;

// The ticker asks the service for exactly these texts.
const QStringList Countries = {
    QStringLiteral("All countries"),
    QStringLiteral("Afghanistan"),
    QStringLiteral("Albania"),
    QStringLiteral("Algeria"),
    QStringLiteral("American Samoa"),
    QStringLiteral("Andorra"),
    QStringLiteral("Angola"),
    QStringLiteral("Anguilla"),
    QStringLiteral("Antarctica"),
    QStringLiteral("Antigua And Barbuda"),
    QStringLiteral("Argentina"),
    QStringLiteral("Armenia"),
    QStringLiteral("Aruba"),
    QStringLiteral("Australia"),
    QStringLiteral("Austria"),
    QStringLiteral("Azerbaijan"),
    QStringLiteral("Bahamas"),
    QStringLiteral("Bahrain"),
    QStringLiteral("Bangladesh"),
    QStringLiteral("Barbados"),
    QStringLiteral("Belarus"),
    QStringLiteral("Belgium"),
    QStringLiteral("Belize"),
    QStringLiteral("Benin"),
    QStringLiteral("Bermuda"),
    QStringLiteral("Bhutan"),
    QStringLiteral("Bolivia"),
    QStringLiteral("Bosnia and Herzegovina"),
    QStringLiteral("Botswana"),
    QStringLiteral("Bouvet Island"),
    QStringLiteral("Brazil"),
    QStringLiteral("British Indian Ocean Territory"),
    QStringLiteral("Brunei"),
    QStringLiteral("Bulgaria"),
    QStringLiteral("Burkina Faso"),
    QStringLiteral("Burundi"),
    QStringLiteral("Cambodia"),
    QStringLiteral("Cameroon"),
    QStringLiteral("Canada"),
    QStringLiteral("Cape Verde"),
    QStringLiteral("Cayman Islands"),
    QStringLiteral("Central African Republic"),
    QStringLiteral("Chad"),
    QStringLiteral("Chile"),
    QStringLiteral("China"),
    QStringLiteral("Christmas Island"),
    QStringLiteral("Cocos (Keeling) Islands"),
    QStringLiteral("Colombia"),
    QStringLiteral("Comoros"),
    QStringLiteral("Congo"),
    QStringLiteral("Cook Islands"),
    QStringLiteral("Costa Rica"),
    QStringLiteral("Cote D'Ivoire (Ivory Coast)"),
    QStringLiteral("Croatia (Hrvatska)"),
    QStringLiteral("Cyprus"),
    QStringLiteral("Czech Republic"),
    QStringLiteral("Dem Rep of Congo (Zaire)"),
    QStringLiteral("Denmark"),
    QStringLiteral("Djibouti"),
    QStringLiteral("Dominica"),
    QStringLiteral("Dominican Republic"),
    QStringLiteral("East Timor"),
    QStringLiteral("Ecuador"),
    QStringLiteral("Egypt"),
    QStringLiteral("El Salvador"),
    QStringLiteral("England"),
    QStringLiteral("Equatorial Guinea"),
    QStringLiteral("Eritrea"),
    QStringLiteral("Estonia"),
    QStringLiteral("Ethiopia"),
    QStringLiteral("Falkland Islands (Malvinas)"),
    QStringLiteral("Faroe Islands"),
    QStringLiteral("Fiji"),
    QStringLiteral("Finland"),
    QStringLiteral("France"),
    QStringLiteral("France, metro"),
    QStringLiteral("French Guiana"),
    QStringLiteral("French Polynesia"),
    QStringLiteral("French Southern Territories"),
    QStringLiteral("Gabon"),
    QStringLiteral("Gambia"),
    QStringLiteral("Georgia"),
    QStringLiteral("Germany"),
    QStringLiteral("Ghana"),
    QStringLiteral("Gibraltar"),
    QStringLiteral("Greece"),
    QStringLiteral("Greenland"),
    QStringLiteral("Grenada"),
    QStringLiteral("Guadeloupe"),
    QStringLiteral("Guam"),
    QStringLiteral("Guatemala"),
    QStringLiteral("Guinea"),
    QStringLiteral("Guinea-Bissau"),
    QStringLiteral("Guyana"),
    QStringLiteral("Haiti"),
    QStringLiteral("Heard and McDonald Islands"),
    QStringLiteral("Honduras"),
    QStringLiteral("Hong Kong"),
    QStringLiteral("Hungary"),
    QStringLiteral("Iceland"),
    QStringLiteral("India"),
    QStringLiteral("Indonesia"),
    QStringLiteral("Ireland"),
    QStringLiteral("Israel"),
    QStringLiteral("Italy"),
    QStringLiteral("Jamaica"),
    QStringLiteral("Japan"),
    QStringLiteral("Jordan"),
    QStringLiteral("Kazakhstan"),
    QStringLiteral("Kenya"),
    QStringLiteral("Kiribati"),
    QStringLiteral("Korea"),
    QStringLiteral("Korea"),
    QStringLiteral("Kuwait"),
    QStringLiteral("Kyrgyzstan"),
    QStringLiteral("Lao"),
    QStringLiteral("Latvia"),
    QStringLiteral("Lebanon"),
    QStringLiteral("Lesotho"),
    QStringLiteral("Liberia"),
    QStringLiteral("Liechtenstein"),
    QStringLiteral("Lithuania"),
    QStringLiteral("Luxembourg"),
    QStringLiteral("Macao"),
    QStringLiteral("Macedonia"),
    QStringLiteral("Madagascar"),
    QStringLiteral("Malawi"),
    QStringLiteral("Malaysia"),
    QStringLiteral("Maldives"),
    QStringLiteral("Mali"),
    QStringLiteral("Malta"),
    QStringLiteral("Marshall Islands"),
    QStringLiteral("Martinique"),
    QStringLiteral("Mauritania"),
    QStringLiteral("Mauritius"),
    QStringLiteral("Mayotte"),
    QStringLiteral("Mexico"),
    QStringLiteral("Micronesia"),
    QStringLiteral("Moldova"),
    QStringLiteral("Monaco"),
    QStringLiteral("Mongolia"),
    QStringLiteral("Montserrat"),
    QStringLiteral("Morocco"),
    QStringLiteral("Mozambique"),
    QStringLiteral("Myanmar"),
    QStringLiteral("Namibia"),
    QStringLiteral("Nauru"),
    QStringLiteral("Nepal"),
    QStringLiteral("Netherlands"),
    QStringLiteral("Netherlands Antilles"),
    QStringLiteral("New Caledonia"),
    QStringLiteral("New Zealand"),
    QStringLiteral("Nicaragua"),
    QStringLiteral("Niger"),
    QStringLiteral("Nigeria"),
    QStringLiteral("Niue"),
    QStringLiteral("Norfolk Island"),
    QStringLiteral("Northern Mariana Islands"),
    QStringLiteral("Norway"),
    QStringLiteral("Oman"),
    QStringLiteral("Pakistan"),
    QStringLiteral("Palau"),
    QStringLiteral("Panama"),
    QStringLiteral("Papua new Guinea"),
    QStringLiteral("Paraguay"),
    QStringLiteral("Peru"),
    QStringLiteral("Philippines"),
    QStringLiteral("Pitcairn"),
    QStringLiteral("Poland"),
    QStringLiteral("Portugal"),
    QStringLiteral("Puerto Rico"),
    QStringLiteral("Qatar"),
    QStringLiteral("Reunion"),
    QStringLiteral("Romania"),
    QStringLiteral("Russia"),
    QStringLiteral("Rwanda"),
    QStringLiteral("Saint Kitts And Nevis"),
    QStringLiteral("Saint Lucia"),
    QStringLiteral("Saint Vincent-The Grenadines"),
    QStringLiteral("Samoa"),
    QStringLiteral("San Marino"),
    QStringLiteral("Sao Tome and Principe"),
    QStringLiteral("Saudi Arabia"),
    QStringLiteral("Scotland"),
    QStringLiteral("Senegal"),
    QStringLiteral("Seychelles"),
    QStringLiteral("Sierra Leone"),
    QStringLiteral("Singapore"),
    QStringLiteral("Slovak Republic"),
    QStringLiteral("Slovenia"),
    QStringLiteral("Solomon Islands"),
    QStringLiteral("Somalia"),
    QStringLiteral("South Africa"),
    QStringLiteral("South Sandwich Islands"),
    QStringLiteral("Spain"),
    QStringLiteral("Sri Lanka"),
    QStringLiteral("St Helena"),
    QStringLiteral("St Pierre and Miquelon"),
    QStringLiteral("Suriname"),
    QStringLiteral("Svalbard-Jan Mayen Islands"),
    QStringLiteral("Swaziland"),
    QStringLiteral("Sweden"),
    QStringLiteral("Switzerland"),
    QStringLiteral("Taiwan Region"),
    QStringLiteral("Tajikistan"),
    QStringLiteral("Tanzania"),
    QStringLiteral("Thailand"),
    QStringLiteral("Togo"),
    QStringLiteral("Tokelau"),
    QStringLiteral("Tonga"),
    QStringLiteral("Trinidad And Tobago"),
    QStringLiteral("Tunisia"),
    QStringLiteral("Turkey"),
    QStringLiteral("Turkmenistan"),
    QStringLiteral("Turks And Caicos Islands"),
    QStringLiteral("Tuvalu"),
    QStringLiteral("Uganda"),
    QStringLiteral("Ukraine"),
    QStringLiteral("United Arab Emirates"),
    QStringLiteral("United Kingdom"),
    QStringLiteral("United States"),
    QStringLiteral("United States Minor Islands"),
    QStringLiteral("Uruguay"),
    QStringLiteral("Uzbekistan"),
    QStringLiteral("Vanuatu"),
    QStringLiteral("Vatican City State (Holy See)"),
    QStringLiteral("Venezuela"),
    QStringLiteral("Vietnam"),
    QStringLiteral("Virgin Islands (British)"),
    QStringLiteral("Virgin Islands (US)"),
    QStringLiteral("Wales"),
    QStringLiteral("Wallis And Futuna Islands"),
    QStringLiteral("Western Sahara"),
    QStringLiteral("Yemen"),
    QStringLiteral("Yugoslavia"),
    QStringLiteral("Zambia"),
    QStringLiteral("Zimbabwe"),
    QStringLiteral("Other"),
};

// The field holds digits only, so the conversion fails just for empty text and for
// numbers beyond the signed 32-bit range.
qint32 IntegerOf(const QLineEdit* edit) {
    bool ok = false;
    const qint32 value = edit->text().toInt(&ok, 10);
    if (!ok)
        throw PelmarkError(ErrorText::NotAnInteger(edit->text()));
    return value;
}

// Halves go to the even neighbour: 2500 ms shows 2, 3500 ms shows 4.
quint32 SecondsOf(quint32 milliseconds) {
    quint32 seconds = milliseconds / 1000;
    const quint32 rest = milliseconds % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 == 1))
        ++seconds;
    return seconds;
}

// The settings file keeps signed values and the refresh timer takes an int, so a
// longer interval is cut to the longest one both can carry.
quint32 MillisecondsOf(qint32 seconds) {
    const qint64 ms = qint64(seconds) * 1000;
    return quint32(std::clamp<qint64>(ms, 0, std::numeric_limits<qint32>::max()));
}

QLabel* AddLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->resize(label->sizeHint());
    return label;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& text,
                       Pictures::Glyph glyph, const QRect& place) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setIcon(Pictures::GlyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(place);
    return button;
}

} // namespace

TfSettings::TfSettings(ProgramSettings& config, Desktop& desktop, QWidget* parent)
    : QDialog(parent), m_config(config), m_settings(config.app), m_desktop(desktop) {
    SetUpToolDialog(this, QStringLiteral("Settings..."), 554, 165);
    setModal(true);

    QLabel* lLFSPath = AddLabel(this, QStringLiteral("LFS Path/EXE:"), 10, 10);
    eLFSPath = new QLineEdit(this);
    lLFSPath->setBuddy(eLFSPath); // a screen reader reads the field by its label
    eLFSPath->setObjectName(QStringLiteral("eLFSPath"));
    eLFSPath->setGeometry(10, 26, 505, 21);
    bBrowse = AddButton(this, QStringLiteral("bBrowse"), QString(), Pictures::Glyph::Browse,
                        QRect(519, 24, 25, 25));
    bBrowse->setToolTip(QStringLiteral("Browse..."));
    bBrowse->setAccessibleName(bBrowse->toolTip());
    bBrowse->setAutoDefault(false);

    QLabel* lInterval = AddLabel(this, QStringLiteral("Interval:"), 10, 62);
    eInterval = makeDigitsEdit(QStringLiteral("eInterval"), 10, 78, 67);
    lInterval->setBuddy(eInterval);
    eInterval->setAccessibleDescription(QStringLiteral("seconds"));
    AddLabel(this, QStringLiteral("seconds"), 83, 82);

    QLabel* lTickerCountry = AddLabel(this, QStringLiteral("Highlight-Ticker country:"), 160, 62);
    cbCountry = new QComboBox(this);
    lTickerCountry->setBuddy(cbCountry);
    cbCountry->setObjectName(QStringLiteral("cbCountry"));
    cbCountry->setEditable(false);
    cbCountry->setMaxVisibleItems(16);
    cbCountry->addItems(CountryList());
    cbCountry->setGeometry(160, 78, 169, 21);

    QLabel* lNumHighlights = AddLabel(this, QStringLiteral("Number of lines:"), 350, 62);
    eNumHighlights = makeDigitsEdit(QStringLiteral("eNumHighlights"), 350, 78, 79);
    lNumHighlights->setBuddy(eNumHighlights);

    const int band = height() - BandHeight;
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, band, width(), 2);
    bOk = AddButton(this, QStringLiteral("bOk"), QStringLiteral("OK"), Pictures::Glyph::Ok,
                    QRect(386, band + 9, 75, 25));
    bOk->setDefault(true);
    bClose = AddButton(this, QStringLiteral("bClose"), QStringLiteral("Close"),
                       Pictures::Glyph::Close, QRect(469, band + 9, 75, 25));
    bClose->setAutoDefault(false);
    bMore = AddButton(this, QStringLiteral("bMore"), QStringLiteral("More..."),
                      Pictures::Glyph::Settings, QRect(10, band + 9, 75, 25));
    bMore->setAutoDefault(false);
    fMoreSettings = new TfMoreSettings(m_config, m_desktop, this);

    // Last in the chain, so that the classic order up to Close stays as it was.
    SetTabChain({eLFSPath, bBrowse, eInterval, cbCountry, eNumHighlights, bOk, bClose, bMore});

    // A child: it goes with the dialog, and a search still running then answers no one.
    m_gameSearch = new GameSearch(this);
    connect(m_gameSearch, &GameSearch::finished, this, &TfSettings::browseFrom);
    connect(bBrowse, &QPushButton::clicked, this, &TfSettings::bBrowseClick);
    connect(bOk, &QPushButton::clicked, this, &TfSettings::bOkClick);
    connect(bClose, &QPushButton::clicked, this, &TfSettings::bCloseClick);
    connect(bMore, &QPushButton::clicked, this, &TfSettings::bMoreClick);

    FillFields();
}

const QStringList& TfSettings::CountryList() {
    return Countries;
}

QLineEdit* TfSettings::makeDigitsEdit(const QString& name, int x, int y, int width) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(x, y, width, 21);
    // The key filter beeps at what is typed; the validator also stops pasted text.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->installEventFilter(this);
    return edit;
}

bool TfSettings::Run() {
    exec();
    return m_accepted;
}

void TfSettings::FillFields() {
    eLFSPath->setText(m_settings.lfsPath);
    eInterval->setText(QString::number(SecondsOf(m_settings.interval)));
    int index = -1;
    for (int i = 0; i < Countries.size(); ++i) {
        if (Countries.at(i).compare(m_settings.country, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    }
    cbCountry->setCurrentIndex(index);
    eNumHighlights->setText(QString::number(m_settings.numHighlights));
}

// Each value is taken as soon as it converts, so a failing field leaves the ones
// before it changed in memory while nothing reaches the file.
void TfSettings::StoreFields() {
    m_settings.lfsPath = eLFSPath->text();
    m_settings.interval = MillisecondsOf(IntegerOf(eInterval));
    m_settings.country = cbCountry->currentIndex() >= 0 ? cbCountry->currentText() : QString();
    m_settings.numHighlights = IntegerOf(eNumHighlights);
    m_config.saveAppSettings();
}

void TfSettings::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FillFields();
        CentreOnParent(this);
        eLFSPath->setFocus();
    }
    QDialog::showEvent(event);
}

bool TfSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == eInterval || watched == eNumHighlights)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Escape stays the dialog's; keys without a character (arrows, Delete) edit freely.
        const bool dialogKey = key->key() == Qt::Key_Escape || key->key() == Qt::Key_Delete;
        if (!dialogKey && !key->text().isEmpty() && !IsAllowedChar(key->text().at(0), 0)) {
            m_desktop.beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A second click while the search runs is no second search.
void TfSettings::bBrowseClick() {
    Guarded(m_desktop, [this] { m_gameSearch->start(GameSearchHome::fromEnvironment()); });
}

void TfSettings::browseFrom(const QString& folder) {
    Guarded(m_desktop, [this, &folder] {
        if (!isVisible())
            return; // closed while the search ran
        const std::optional<QString> path = m_desktop.openFileName(
            this, QStringLiteral("Live For Speed (LFS.exe) (LFS.exe);;All files (*.*) (*)"),
            folder);
        if (path)
            eLFSPath->setText(*path);
    });
}

void TfSettings::bOkClick() {
    Guarded(m_desktop, [this] {
        StoreFields();
        m_accepted = true;
        accept();
    });
}

void TfSettings::bCloseClick() {
    m_accepted = false;
    reject();
}

// The extras are written by their own OK; this dialog's fields stay as typed.
void TfSettings::bMoreClick() {
    fMoreSettings->Run();
}
