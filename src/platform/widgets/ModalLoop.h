#pragma once

#include "platform/ModalRaise.h"

#include <QDialog>

// A window's modal loop that its own Unload may be asked for while it runs. Destroying the
// dialog under the running loop would crash, so Unload ends the loop instead and the code that
// started it unloads once exec() has returned.
class ModalLoop {
public:
    void run(QDialog& dialog) {
        ModalRaise::install();
        m_running = true;
        dialog.exec();
        m_running = false;
    }
    bool running() const { return m_running; }
    // Ends the loop when it runs; true then, and the unloading is left to run()'s caller.
    bool endIfRunning(QDialog& dialog) {
        if (m_running) {
            dialog.done(QDialog::Rejected);
        }
        return m_running;
    }

private:
    bool m_running = false;
};
