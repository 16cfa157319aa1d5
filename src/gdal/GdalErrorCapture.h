#pragma once

#include "errors/ConfluxError.h"

#include <QString>
#include <QStringList>

// Routes GDAL's error handler of the current thread into this object for its lifetime, so no
// GDAL message reaches stderr and the host can turn GDAL's own text into its errors.
class GdalErrorCapture {
public:
    GdalErrorCapture();
    ~GdalErrorCapture();
    GdalErrorCapture(const GdalErrorCapture&) = delete;
    GdalErrorCapture& operator=(const GdalErrorCapture&) = delete;

    // The last failure's text; empty when none.
    const QString& lastFailure() const { return m_lastFailure; }
    qsizetype failureCount() const { return m_failures; }
    const QStringList& warnings() const { return m_warnings; }
    void clear();

    // An error for `context` ("Layer 'x' of '/a/x.shp'") carrying GDAL's last text.
    ConfluxError error(const QString& context,
                       std::int32_t number = ErrorNumber::HostFailure) const;

private:
    static void handler(int errorClass, int errorNumber, const char* message);
    QString m_lastFailure;
    qsizetype m_failures = 0;
    QStringList m_warnings;
};

// Registers GDAL's drivers once per process.
void ensureGdalRegistered();
