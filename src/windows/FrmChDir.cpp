#include "windows/FrmChDir.h"

#include "platform/widgets/FolderList.h"
#include "platform/widgets/WindowScale.h"
#include "windows/DesktopPrompter.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

FrmChDir& FrmChDir::instance() {
    static FrmChDir window;
    return window;
}

void FrmChDir::setVolumeSource(std::function<QList<Volume>()> source) {
    m_volumeSource = std::move(source);
}

Prompter& FrmChDir::prompter() {
    return m_prompter != nullptr ? *m_prompter : DesktopPrompter::instance();
}

QPushButton* FrmChDir::CmdOpenExit(int index) const {
    return index == 0 || index == 1 ? m_buttons[static_cast<size_t>(index)].data() : nullptr;
}

void FrmChDir::Load() {
    if (m_form) {
        return;
    }
    createControls();
    fillDrives();
    // A fresh chooser starts on the process's current folder and the volume that holds it.
    const QString start = QDir::currentPath();
    const qsizetype drive = Volumes::holding(m_volumes, start);
    selectDrive(drive, false);
    if (drive >= 0) {
        m_dir->setPath(start, m_volumes[drive].rootPath);
    }
}

void FrmChDir::createControls() {
    // The dialog's scale, so that the chooser looks like the window it opens from.
    const WindowScale scale = WindowScales::shared();
    const auto px = [&scale](int twips) { return scale.px(twips); };
    m_form = new QDialog();
    // No caption. An empty title would make the window system show the program's name.
    m_form->setWindowTitle(QStringLiteral(" "));
    m_form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    m_form->setFixedSize(px(3750), px(4065));
    m_form->installEventFilter(this);

    m_drive = new QComboBox(m_form);
    m_drive->setObjectName(QStringLiteral("Drive1"));
    m_drive->setGeometry(px(120), px(120), px(3372), px(288));
    m_dir = new FolderList(m_form);
    m_dir->setObjectName(QStringLiteral("Dir1"));
    m_dir->setGeometry(px(120), px(600), px(3372), px(2448));
    const std::array<QString, 2> captions = {QStringLiteral("Открыть"), QStringLiteral("Отмена")};
    const std::array<int, 2> lefts = {720, 2046};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(captions[static_cast<size_t>(i)], m_form);
        button->setObjectName(QStringLiteral("CmdOpenExit%1").arg(i));
        button->setGeometry(px(lefts[static_cast<size_t>(i)]), px(3360), px(972), px(372));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { CmdOpenExit_Click(i); });
        m_buttons[static_cast<size_t>(i)] = button;
    }
    WindowScales::scaleFonts(*m_form, scale.font);
    QWidget::setTabOrder(m_drive, m_dir);
    QWidget::setTabOrder(m_dir, m_buttons[0]);
    QWidget::setTabOrder(m_buttons[0], m_buttons[1]);
    connect(m_drive, &QComboBox::currentIndexChanged, this, [this] { Drive1_Change(); });
}

void FrmChDir::fillDrives() {
    m_volumes = m_volumeSource ? m_volumeSource() : Volumes::mounted();
    const QSignalBlocker blocker(m_drive);
    m_drive->clear();
    for (const Volume& volume : m_volumes) {
        m_drive->addItem(Volumes::caption(volume));
    }
    m_drive->setCurrentIndex(-1);
}

void FrmChDir::selectDrive(qsizetype index, bool raiseChange) {
    if (raiseChange) {
        m_drive->setCurrentIndex(static_cast<int>(index));
        return;
    }
    const QSignalBlocker blocker(m_drive);
    m_drive->setCurrentIndex(static_cast<int>(index));
}

QString FrmChDir::startFolderOn(const Volume& volume) const {
    // There is no current folder per drive here: the process's own folder when it lies on that
    // volume (and not on one mounted inside it), else the volume's root.
    const QString current = QDir::currentPath();
    const qsizetype holder = Volumes::holding(m_volumes, current);
    return holder >= 0 && m_volumes[holder] == volume ? current : volume.rootPath;
}

void FrmChDir::Unload() {
    if (!m_form) {
        return;
    }
    if (m_modal.endIfRunning(*m_form)) {
        return;
    }
    // No event of the dying controls may reach the filter, which compares against them.
    m_form->removeEventFilter(this);
    delete m_form.data();
}

bool FrmChDir::presetDrive(const QString& path) {
    Load();
    if (path.isEmpty()) {
        return false;
    }
    // Every mounted, ready volume has a name, so the volume holding the path can always be
    // preset; the path itself need not exist.
    const qsizetype index = Volumes::holding(m_volumes, path);
    if (index < 0 || !Volumes::isReady(m_volumes[index])) {
        return false;
    }
    selectDrive(index, true);
    return true;
}

bool FrmChDir::presetFolder(const QString& path) {
    Load();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) {
        return false;
    }
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    const qsizetype index = Volumes::holding(m_volumes, folder);
    if (index < 0 || !m_dir->setPath(folder, m_volumes[index].rootPath)) {
        return false;
    }
    // Keep the drive list in step with the folder without raising a drive change.
    selectDrive(index, false);
    return true;
}

void FrmChDir::prepareShow() {
    Load();
    ReturnPath.clear();
}

void FrmChDir::showModal() {
    prepareShow();
    m_modal.run(*m_form);
    // Every way of closing unloads the controls.
    Unload();
}

void FrmChDir::Drive1_Change() {
    const QString remembered = m_dir->path();
    const int index = m_drive->currentIndex();
    if (index >= 0 && index < m_volumes.size()) {
        const Volume& volume = m_volumes[index];
        if (Volumes::isReady(volume) && m_dir->setPath(startFolderOn(volume), volume.rootPath)) {
            return;
        }
    }
    prompter().messageBox(
        QStringLiteral("Диск ") + m_drive->currentText() + QStringLiteral(" недоступен"),
        MsgBoxButtons::Ok, MsgBoxIcon::Exclamation);
    // Back to the drive of the folder that was open. Should that drive have gone too, stop
    // after its own message instead of bouncing between two dead drives.
    if (m_returningToDrive) {
        return;
    }
    m_returningToDrive = true;
    const qsizetype previous = Volumes::holding(m_volumes, remembered);
    selectDrive(previous, true);
    if (previous >= 0) {
        m_dir->setPath(remembered, m_volumes[previous].rootPath);
    }
    m_returningToDrive = false;
}

void FrmChDir::CmdOpenExit_Click(int index) {
    if (index == 0) {
        ReturnPath = m_dir->path();
        m_form->done(QDialog::Accepted);
    } else {
        ReturnPath.clear();
        m_form->done(QDialog::Rejected);
    }
}

void FrmChDir::Form_Activate() {
    if (m_form) {
        m_form->raise();
    }
}

bool FrmChDir::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form && event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QObject::eventFilter(watched, event);
}
