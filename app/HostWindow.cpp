#include "HostWindow.h"

#include "platform/widgets/WindowScale.h"

#include "HostApplication.h"
#include "dialog/ProgramIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

// Which library the host loaded, or why none: QT_LOGGING_RULES="conflux.host.info=true".
Q_LOGGING_CATEGORY(lcHost, "conflux.host", QtWarningMsg)

namespace {

using GetClassObject = std::int32_t (*)(const char*, ICommand**);
using CanUnloadNow = std::int32_t (*)();
using PictureFromHandle = bool (*)(std::int32_t, QImage*);

// Beside the executable in the build folder; where the install rules put it relative to the
// installed executable, so an installed tree works wherever it is moved.
QStringList libraryCandidates() {
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir + QStringLiteral("/libConflux2_v9.so"),
            QDir::cleanPath(dir +
                            QStringLiteral("/" CONFLUX_LIBRARY_FROM_BINDIR "/libConflux2_v9.so"))};
}

}  // namespace

HostWindow::HostWindow() {
    setWindowTitle(QStringLiteral("Conflux host"));
    setWindowIcon(ProgramIcon::icon());
    // Its usual size, within the free area of a small or strongly scaled screen.
    const QSize room = WindowScales::availableArea().size() * 9 / 10;
    resize(QSize(1000, 720).boundedTo(room));
    statusBar()->showMessage(QString());
}

HostWindow::~HostWindow() {
    // The command goes before the library that holds its code.
    m_command.reset();
    auto canUnload = reinterpret_cast<CanUnloadNow>(m_library.resolve("DllCanUnloadNow"));
    if (canUnload != nullptr && canUnload() == 0) {
        m_library.unload();
    }
}

bool HostWindow::loadCommand() {
    QString tried;
    for (const QString& candidate : libraryCandidates()) {
        if (!QFileInfo::exists(candidate)) {
            tried += QStringLiteral("\n") + candidate + QStringLiteral(": not found");
            continue;
        }
        m_library.setFileName(candidate);
        if (m_library.load()) {
            break;
        }
        tried += QStringLiteral("\n") + candidate + QStringLiteral(": ") + m_library.errorString();
    }
    if (!m_library.isLoaded()) {
        const QString message = QStringLiteral("Cannot load the command library.") + tried;
        qCWarning(lcHost).noquote() << message;
        QMessageBox::critical(this, QStringLiteral("Conflux host"), message);
        return false;
    }
    qCInfo(lcHost).noquote() << "loaded" << m_library.fileName();
    auto create = reinterpret_cast<GetClassObject>(m_library.resolve("DllGetClassObject"));
    ICommand* raw = nullptr;
    if (create == nullptr || create("ClsConflux", &raw) != 0 || raw == nullptr) {
        QMessageBox::critical(
            this, QStringLiteral("Conflux host"),
            QStringLiteral("%1 does not create the command ClsConflux.").arg(m_library.fileName()));
        return false;
    }
    m_command.reset(raw);
    addCommand();
    return true;
}

void HostWindow::addCommand() {
    QImage picture;
    auto resolvePicture =
        reinterpret_cast<PictureFromHandle>(m_library.resolve("ConfluxPictureFromHandle"));
    if (resolvePicture != nullptr) {
        resolvePicture(m_command->Bitmap(), &picture);
    }
    m_action = new QAction(QIcon(QPixmap::fromImage(picture)), m_command->Caption(), this);
    m_action->setObjectName(m_command->Name());
    m_action->setToolTip(m_command->Tooltip());
    m_action->setStatusTip(m_command->Message());
    m_action->setEnabled(m_command->Enabled());
    m_action->setCheckable(false);
    m_action->setChecked(m_command->Checked());
    connect(m_action, &QAction::triggered, this, [this] { m_command->OnClick(); });

    const QString category = m_command->Category();
    // Alt and the first letter open the menu, as does F10 for the menu bar.
    QString title = category;
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QMenu* menu = menuBar()->addMenu(QLatin1Char('&') + title);
    menu->addAction(m_action);
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this, menu] {
                menuBar()->setActiveAction(menu->menuAction());
                menu->setActiveAction(menu->actions().value(0));
            });
    QToolBar* toolBar = addToolBar(category);
    toolBar->setObjectName(category);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->addAction(m_action);

    m_application = std::make_shared<HostApplication>(this);
    m_command->OnCreate(m_application);
}
