#include "host/HostArray.h"

ObjectRef HostArray::Element(std::int64_t index) const {
    if (index < 0 || index >= Count()) {
        throw ConfluxError(ErrorNumber::SubscriptOutOfRange,
                           QStringLiteral("Subscript out of range"));
    }
    return m_elements[static_cast<std::size_t>(index)];
}
