#pragma once

#include "host/HostObject.h"

#include <cstdint>
#include <vector>

// An ordered list of host objects.
class HostArray : public virtual HostObject {
public:
    void Add(const ObjectRef& element) { m_elements.push_back(element); }
    std::int64_t Count() const { return static_cast<std::int64_t>(m_elements.size()); }
    // Throws SubscriptOutOfRange outside 0..Count()-1.
    ObjectRef Element(std::int64_t index) const;

private:
    std::vector<ObjectRef> m_elements;
};
