#pragma once

#include "errors/ConfluxError.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <typeinfo>

// Host objects are reference-counted and reached through the interfaces they answer for.
// HostObject is the untyped object reference; each host interface derives from it virtually.
class HostObject {
public:
    virtual ~HostObject() = default;
};

using ObjectRef = std::shared_ptr<HostObject>;

// Takes an object through another interface. An object that does not answer for it is an
// error of the calling procedure, as a failed conversion is for the host.
template <typename Interface, typename From>
std::shared_ptr<Interface> takeAs(const std::shared_ptr<From>& object) {
    auto converted = std::dynamic_pointer_cast<Interface>(object);
    if (!converted) {
        throw ConfluxError(ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch"));
    }
    return converted;
}
