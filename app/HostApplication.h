#pragma once

#include "host/Application.h"

#include <QWidget>

// The desktop's application object: answers for the application and catalogue interfaces.
class HostApplication : public IApplication, public IGxApplication {
public:
    explicit HostApplication(QWidget* mainWindow) : m_mainWindow(mainWindow) {}
    std::int64_t hWnd() const override {
        return m_mainWindow ? static_cast<std::int64_t>(m_mainWindow->winId()) : 0;
    }

private:
    QWidget* m_mainWindow;
};
