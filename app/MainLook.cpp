// The main window's look: fonts, panels, labels, pictures and the two lists' setup.
#include "MainLook.h"

#include "Pictures.h"
#include "ServerListModel.h"
#include "Widgets.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Name, Ver, Track, Rules*, Cars*, Players, Laps, Quali (the model names them).
constexpr int ServerColumnWidths[ServerListModel::ColumnCount] = {120, 33, 120, 60,
                                                                  150, 50, 50,  50};

// A picture that the keyboard can reach (the banner) shows the focus as buttons do: the
// style's focus frame, drawn when the focus came by keyboard. It lies just inside the
// picture's edge, and in a light colour: in the style's own it would vanish on the dark
// banner.
class PictureLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus())
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(FrameInset, FrameInset, -FrameInset, -FrameInset);
        frame.palette.setColor(QPalette::Highlight, palette().color(QPalette::HighlightedText));
        frame.backgroundColor = palette().color(QPalette::Highlight);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
    }

private:
    static constexpr int FrameInset = 3;
};

} // namespace

using Pictures::Glyph;

namespace MainLook {

QFont fontOf(const QString& family, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({family, QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont verdana(int pixelSize, bool bold) {
    return fontOf(QStringLiteral("Verdana"), pixelSize, bold);
}

QVBoxLayout* columnLayout(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QWidget* fixedHeightPanel(QWidget* parent, int height) {
    auto* panel = new QWidget(parent);
    panel->setFixedHeight(height);
    return panel;
}

// A label that never interprets its text: several show text from the network or files.
QLabel* plainLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A label sized to its text at a fixed place.
QLabel* placedLabel(QWidget* parent, const QString& text, const QFont& font, int x, int y) {
    QLabel* label = plainLabel(parent, text);
    label->setFont(font);
    label->adjustSize();
    label->move(x, y);
    return label;
}

// A right-aligned label whose right edge stays where it is as the text changes.
QLabel* rightEdgeLabel(QWidget* parent, const QString& text, const QFont& font, int right, int y,
                       int boxWidth) {
    QLabel* label = plainLabel(parent, text);
    label->setFont(font);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setGeometry(right - boxWidth, y, boxWidth, label->sizeHint().height());
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// Sized in the window's units: on a HiDPI screen the picture has more pixels than that.
QLabel* pictureLabel(QWidget* parent, const QPixmap& picture, int x, int y) {
    auto* label = new PictureLabel(parent);
    label->setPixmap(picture);
    label->setGeometry(QRect(QPoint(x, y), picture.deviceIndependentSize().toSize()));
    return label;
}

// A screen reader reads the hint as the button's name; the description says what it does.
QToolButton* pictureButton(QWidget* parent, Glyph glyph, int x, int y, const QString& description) {
    auto* button = new QToolButton(parent);
    button->setIcon(Pictures::GlyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setAccessibleDescription(description);
    button->setGeometry(x, y, 25, 25);
    return button;
}

ShapeWidget* shape(QWidget* parent, const QColor& fill, int x, int y, int width, int height) {
    auto* s = new ShapeWidget(fill, parent);
    s->setGeometry(x, y, width, height);
    return s;
}

// The chosen row or node must stay visible while the user works elsewhere.
void keepSelectionWhenUnfocused(QAbstractItemView* view) {
    QPalette palette = view->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
}

QFrame* statusSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->setLineWidth(1);
    line->setFixedWidth(2);
    return line;
}

void setUpServerList(QTreeView* list) {
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    for (int i = 0; i < ServerListModel::ColumnCount; ++i)
        header->resizeSection(i, ServerColumnWidths[i]);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setItemsExpandable(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(16, 16));
    list->setAllColumnsShowFocus(true);
    keepSelectionWhenUnfocused(list);
}

void setUpMateTree(QTreeView* tree) {
    tree->setHeaderHidden(true);
    tree->setIndentation(19);
    tree->setRootIsDecorated(true);
    auto* lines = new TreeLinesStyle;
    lines->setParent(tree);
    tree->setStyle(lines);
    tree->setIconSize(QSize(16, 16));
    // Every row is one line beside a 16-pixel picture; asking each row for its height
    // cost more than the rest of the tree's layout at every refresh.
    tree->setUniformRowHeights(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    keepSelectionWhenUnfocused(tree);
}

// A plain top-level widget reads as a "client" area; the main window is a window.
QAccessibleInterface* mainWindowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TfMain") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace MainLook
