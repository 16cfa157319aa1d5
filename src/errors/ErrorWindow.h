#pragma once

#include <QString>

#include <functional>
#include <memory>

// The error window component: created without arguments, given one text, then shown.
class ErrorWindow {
public:
    virtual ~ErrorWindow() = default;
    virtual void setText(const QString& text) = 0;
    virtual void show(bool modal) = 0;
};

using ErrorWindowFactory = std::function<std::unique_ptr<ErrorWindow>()>;
