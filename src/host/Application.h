#pragma once

#include "host/HostObject.h"

#include <cstdint>

// The host's application object, as the command and the dialog see it.
class IApplication : public virtual HostObject {
public:
    // Handle of the host's main window; the system only passes it on.
    virtual std::int64_t hWnd() const = 0;
};

// The host's catalogue-application interface. The system only checks that the application
// object answers for it.
class IGxApplication : public virtual HostObject {};
