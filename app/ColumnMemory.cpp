#include "ColumnMemory.h"

#include "ErrorHandler.h"
#include "ProgramSettings.h"

#include <QEvent>
#include <QHeaderView>

ColumnMemory::ColumnMemory(QHeaderView* header, int fillFrom, ProgramSettings& settings,
                           Desktop& desktop, QObject* parent)
    : QObject(parent), m_header(header), m_fillFrom(fillFrom), m_settings(settings),
      m_desktop(desktop) {
    for (int i = 0; i < m_header->count(); ++i)
        m_own.append(m_header->sectionSize(i));
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &ColumnMemory::save);
    connect(m_header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (m_applying || column < 0 || column >= m_own.size())
            return;
        m_own[column] = width;
        m_saveTimer.start();
        fillLast();
    });
    // The header is as wide as the list's rows, and follows it.
    m_header->installEventFilter(this);
}

void ColumnMemory::apply() {
    const QList<int>& widths = m_settings.columnWidths;
    for (int i = 0; i < m_own.size() && i < widths.size(); ++i) {
        if (widths.at(i) > 0) {
            m_own[i] = widths.at(i);
            resizeQuietly(i, widths.at(i));
        }
    }
    fillLast();
}

bool ColumnMemory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_header && event->type() == QEvent::Resize)
        fillLast();
    return QObject::eventFilter(watched, event);
}

void ColumnMemory::fillLast() {
    const int last = static_cast<int>(m_own.size()) - 1;
    const QWidget* list = m_header->parentWidget();
    if (last < 0 || !list)
        return;
    int width = m_own.at(last);
    const bool fills = list->width() > m_fillFrom;
    if (fills) {
        int others = 0;
        for (int i = 0; i < last; ++i)
            others += m_header->sectionSize(i);
        width = std::max(width, m_header->width() - others);
    }
    // A filling column has no edge of its own to drag: it is the list's.
    const auto mode = fills ? QHeaderView::Fixed : QHeaderView::Interactive;
    if (m_header->sectionResizeMode(last) != mode)
        m_header->setSectionResizeMode(last, mode);
    resizeQuietly(last, width);
}

void ColumnMemory::resizeQuietly(int column, int width) {
    m_applying = true;
    m_header->resizeSection(column, width);
    m_applying = false;
}

void ColumnMemory::save() {
    if (m_own == m_settings.columnWidths.mid(0, m_own.size()))
        return;
    Guarded(m_desktop, [&] { m_settings.writeColumnWidths(m_own); });
}
