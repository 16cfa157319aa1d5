#include "gdal/GdalErrorCapture.h"

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

namespace {
constexpr qsizetype kMaxWarnings = 100;
}

GdalErrorCapture::GdalErrorCapture() {
    ensureGdalRegistered();
    CPLPushErrorHandlerEx(
        [](CPLErr errorClass, CPLErrorNum number, const char* message) {
            handler(static_cast<int>(errorClass), number, message);
        },
        this);
    CPLErrorReset();
}

GdalErrorCapture::~GdalErrorCapture() {
    CPLPopErrorHandler();
}

void GdalErrorCapture::clear() {
    m_lastFailure.clear();
    m_failures = 0;
    m_warnings.clear();
    CPLErrorReset();
}

void GdalErrorCapture::handler(int errorClass, int, const char* message) {
    auto* self = static_cast<GdalErrorCapture*>(CPLGetErrorHandlerUserData());
    if (!self) {
        return;
    }
    const QString text = QString::fromUtf8(message ? message : "");
    if (errorClass >= CE_Failure) {
        self->m_lastFailure = text;
        ++self->m_failures;
    } else if (errorClass == CE_Warning && self->m_warnings.size() < kMaxWarnings) {
        self->m_warnings.append(text);
    }
}

ConfluxError GdalErrorCapture::error(const QString& context, std::int32_t number) const {
    const QString detail = m_lastFailure.isEmpty() ? QStringLiteral("failed") : m_lastFailure;
    return ConfluxError(number, context + QStringLiteral(": ") + detail);
}

void ensureGdalRegistered() {
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}
