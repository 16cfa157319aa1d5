#pragma once

#include "errors/ConfluxError.h"

// Why a PostGIS output failed, so that the command line can give each cause its own status.
enum class PostgisFailure {
    Unreachable,     // no server answered at the address (or it is starting or stopping)
    LoginRefused,    // the server answered and refused the session: password, role, database
    TableExists,     // the output table exists and replacing it was not asked for
    Cancelled,       // the caller's cancel check asked to stop
    ConnectionLost,  // the connection broke after it was made
    Other,           // everything else: a malformed connection string, a server error
};

// A failure of a PostGIS output. Its text never holds a password.
class PostgisError : public ConfluxError {
public:
    PostgisError(PostgisFailure kind, const QString& message)
        : ConfluxError(ErrorNumber::HostFailure, message), m_kind(kind) {}

    PostgisFailure kind() const { return m_kind; }

private:
    PostgisFailure m_kind;
};
