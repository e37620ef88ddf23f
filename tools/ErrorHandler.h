#pragma once

#include "Desktop.h"
#include "PelmarkError.h"

#include <QString>
#include <new>
#include <utility>

// The error box text: a full stop is added when the last character sorts after ".".
QString StandardErrorText(const QString& message);

// The top-level error handler. Every entry point that Qt calls runs its body
// through this, so no exception ever reaches Qt. Returns false when the body failed.
template <typename Body> bool Guarded(Desktop& desktop, Body&& body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const PelmarkError& e) {
        desktop.showError(StandardErrorText(e.message()));
    } catch (const std::bad_alloc&) {
        desktop.showError(StandardErrorText(QStringLiteral("Zu wenig Arbeitsspeicher")));
    } catch (const std::exception& e) {
        desktop.showError(StandardErrorText(QString::fromLocal8Bit(e.what())));
    }
    return false;
}
