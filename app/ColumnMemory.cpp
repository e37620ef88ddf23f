#include "ColumnMemory.h"

#include "ErrorHandler.h"
#include "ProgramSettings.h"

#include <QHeaderView>

ColumnMemory::ColumnMemory(QHeaderView* header, ProgramSettings& settings, Desktop& desktop,
                           QObject* parent)
    : QObject(parent), m_header(header), m_settings(settings), m_desktop(desktop) {
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &ColumnMemory::save);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        if (!m_applying)
            m_saveTimer.start();
    });
}

void ColumnMemory::apply() {
    m_applying = true;
    const QList<int>& widths = m_settings.columnWidths;
    for (int i = 0; i < m_header->count() && i < widths.size(); ++i) {
        if (widths.at(i) > 0)
            m_header->resizeSection(i, widths.at(i));
    }
    m_applying = false;
}

void ColumnMemory::save() {
    QList<int> widths;
    for (int i = 0; i < m_header->count(); ++i)
        widths.append(m_header->sectionSize(i));
    if (widths == m_settings.columnWidths.mid(0, widths.size()))
        return;
    Guarded(m_desktop, [&] { m_settings.writeColumnWidths(widths); });
}
