#pragma once

#include "errors/ConfluxError.h"

// Why a File Geodatabase output failed, so that callers can tell the user's causes apart.
enum class FileGdbFailure {
    NotAGeodatabase,  // the folder is missing or holds no File Geodatabase GDAL can write
    ClassExists,      // a feature class or table of that name is in the geodatabase
    Cancelled,        // the caller's cancel check asked to stop
    Other,            // everything else: a write that failed, a full disk, a bad value
};

// A failure of a File Geodatabase output. Unless its text says otherwise, the geodatabase is
// as it was before the output started.
class FileGdbError : public ConfluxError {
public:
    FileGdbError(FileGdbFailure kind, const QString& message)
        : ConfluxError(ErrorNumber::HostFailure, message), m_kind(kind) {}
    // FileGdbFailure::Other.
    explicit FileGdbError(const QString& message) : FileGdbError(FileGdbFailure::Other, message) {}

    FileGdbFailure kind() const { return m_kind; }

private:
    FileGdbFailure m_kind;
};
