#pragma once

#include "host/HostObject.h"

#include <QString>

#include <cstdint>

// The host's command interface: what the host reads to list a command and the calls it makes.
// Members keep the interface's order.
class ICommand : public virtual HostObject {
public:
    virtual bool Enabled() = 0;
    virtual bool Checked() = 0;
    virtual QString Name() = 0;
    virtual QString Caption() = 0;
    virtual QString Tooltip() = 0;
    virtual QString Message() = 0;
    virtual QString HelpFile() = 0;
    virtual std::int32_t HelpContextID() = 0;
    virtual std::int32_t Bitmap() = 0;
    virtual QString Category() = 0;
    virtual void OnCreate(const ObjectRef& hook) = 0;
    virtual void OnClick() = 0;
};
