#pragma once

#include "host/Application.h"

// An application object that answers for both host interfaces.
class FakeApplication : public IApplication, public IGxApplication {
public:
    std::int64_t hWnd() const override { return 4242; }
};

// An application object without the catalogue interface.
class ApplicationWithoutCatalogue : public IApplication {
public:
    std::int64_t hWnd() const override { return 1; }
};
