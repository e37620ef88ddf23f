#include "uLegends.h"

#include "DialogLook.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

struct Placed {
    int x;
    int y;
    const char* text;
};

constexpr Placed RuleTexts[] = {
    {96, 12, "V = you may vote"},
    {96, 30, "S = you can select tracks"},
    {96, 48, "Q = race qualify is enabled"},
    {96, 66, "P = private host"},
    {96, 84, "M = Modifieed host"},
    {96, 102, "m = join mid-race allowed"},
    {96, 120, "p = forced pitstop"},
};

constexpr Placed CarTexts[] = {
    {54, 204, "XFG = XF GTI"},
    {54, 222, "XRG = XR GT"},
    {54, 240, "XRT = XR GT Turbo"},
    {54, 258, "RB4 = RB4 GT"},
    {54, 276, "FXO = FXO Turbo"},
    {54, 294, "LX4 = LX4"},
    {54, 312, "LX6 = LX6"},
    {54, 330, "MRT = MRT5"},
    {54, 348, "UF1 = UF 1000"},
    {54, 366, "RAC = RACE ABOUT"},
    {276, 204, "FZ5 = FZ50"},
    {276, 222, "FOX = FORMULA XR"},
    {276, 240, "XFR = XF GTR (GTR version of XF GTI)"},
    {276, 258, "UFR = UF GTR (GTR version of UF 1000)"},
    {276, 276, "FO8 = FORMULA V8"},
    {276, 294, "FXR = FXO GTR"},
    {276, 312, "XRR= XR GTR (GTR version of XR GT Turbo)"},
    {276, 330, "FZR = FZ50 GTR"},
    {276, 348, "Street cars = XFG, XRG, XRT, RB4, FXO, LX4, LX6, UF1, RAC, FZ5"},
    {276, 366, "Formula cars = FOX, FO8"},
};

struct IconRow {
    int image;
    const char* text;
};

// Image indices as the server list and the mate tree use them.
constexpr IconRow ServerRows[] = {
    {3, "= Server state not known"},
    {0, "= Server not occupied"},
    {1, "= Server occupied"},
    {2, "= Server occupied with mates"},
};

constexpr IconRow MateRows[] = {
    {0, "= Group state not known"},
    {1, "= No mate in group online"},
    {2, "= Mate(s) online in group"},
    {5, "= Mate state not known"},
    {3, "= Mate offline"},
    {4, "= Mate online"},
};

constexpr int IconSize = 16;

} // namespace

TfLegends::TfLegends(const QList<QIcon>& serverImages, const QList<QIcon>& mateImages,
                     QWidget* parent)
    : QDialog(parent) {
    SetUpToolDialog(this, QStringLiteral("Legends"), 617, 418);
    setModal(false);

    addText(QStringLiteral("Rule legends:"), 6, 12, true);
    for (const Placed& t : RuleTexts)
        addText(QString::fromLatin1(t.text), t.x, t.y);

    addText(QStringLiteral("Server list icons:"), 258, 12, true);
    int y = 36;
    for (const IconRow& row : ServerRows) {
        addIcon(serverImages, row.image, 261, y);
        addIconText(QString::fromLatin1(row.text), 282, y);
        y += 24;
    }

    addText(QStringLiteral("Mate list icons:"), 432, 12, true);
    y = 36;
    for (const IconRow& row : MateRows) {
        addIcon(mateImages, row.image, 435, y);
        addIconText(QString::fromLatin1(row.text), 456, y);
        y += 24;
    }

    addText(QStringLiteral("Cars:"), 6, 204, true);
    for (const Placed& t : CarTexts)
        addText(QString::fromLatin1(t.text), t.x, t.y);

    addLine(249, 0, 2, 186);
    addLine(0, 186, width(), 2);

    bClose = new QPushButton(QStringLiteral("Close"), this);
    bClose->setObjectName(QStringLiteral("bClose"));
    bClose->setGeometry(528, 384, 75, 25);
    bClose->setDefault(true);
    connect(bClose, &QPushButton::clicked, this, &TfLegends::bCloseClick);
}

void TfLegends::ShowLegends() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TfLegends::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        CentreOnParent(this);
    QDialog::showEvent(event);
}

void TfLegends::bCloseClick() {
    hide();
}

QLabel* TfLegends::addText(const QString& text, int x, int y, bool heading) {
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    if (heading) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    label->setGeometry(x, y, label->sizeHint().width(), label->sizeHint().height());
    return label;
}

// A text beside an icon lines up with the icon's middle.
void TfLegends::addIconText(const QString& text, int x, int y) {
    QLabel* label = addText(text, x, y);
    label->move(x, y + (IconSize - label->height()) / 2);
}

void TfLegends::addIcon(const QList<QIcon>& images, int index, int x, int y) {
    auto* label = new QLabel(this);
    if (index >= 0 && index < images.size())
        label->setPixmap(images.at(index).pixmap(IconSize, IconSize));
    label->setGeometry(x, y, IconSize, IconSize);
}

void TfLegends::addLine(int x, int y, int width, int height) {
    auto* line = new QFrame(this);
    line->setFrameShape(width > height ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(x, y, width, height);
}
