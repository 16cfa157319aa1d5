#pragma once

#include "host/ICommand.h"

#include <QLibrary>
#include <QMainWindow>

#include <memory>

class HostApplication;

// A small stand-in for the GIS desktop: loads the command library, lists its command in a
// toolbar and a menu named after the command's category, and calls it when chosen.
class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    HostWindow();
    ~HostWindow() override;

    // Loads the library and creates its command; false (after telling the user) on failure.
    bool loadCommand();
    // The toolbar action of the loaded command, or null.
    QAction* commandAction() const { return m_action; }

private:
    void addCommand();

    QLibrary m_library;
    std::shared_ptr<HostApplication> m_application;
    std::shared_ptr<ICommand> m_command;
    QAction* m_action = nullptr;
};
