#include "command/ClsConflux.h"

#include "dialog/frmConflux.h"
#include "errors/ErrorHandling.h"
#include "platform/PictureHandles.h"

#include <QImage>

#include <atomic>

namespace {

std::atomic<int> g_liveCommands{0};

const QString kModule = QStringLiteral("clsConflux");

// Runs a member under its error handler: a failure is reported with the member's label and the
// member returns `fallback`.
template <typename Result, typename Body>
Result guarded(const char* label, Result fallback, Body&& body) {
    Result result = fallback;
    ErrorHandling::reportingBoundary(QString::fromLatin1(label) + QLatin1Char(' '), kModule,
                                     [&] { result = body(); });
    return result;
}

template <typename Body>
void guarded(const char* label, Body&& body) {
    ErrorHandling::reportingBoundary(QString::fromLatin1(label) + QLatin1Char(' '), kModule,
                                     std::forward<Body>(body));
}

}  // namespace

class ClsConflux::Picture {
public:
    explicit Picture(const QImage& image) : m_handle(registerPicture(image)) {}
    ~Picture() { releasePicture(m_handle); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    std::int32_t handle() const { return m_handle; }

private:
    std::int32_t m_handle;
};

ClsConflux::ClsConflux() {
    ++g_liveCommands;
    Class_Initialize();
}

ClsConflux::~ClsConflux() {
    Class_Terminate();
    --g_liveCommands;
}

int ClsConflux::liveCount() {
    return g_liveCommands.load();
}

void ClsConflux::Class_Initialize() {
    guarded("Class_Initialize", [this] {
        QImage image(QStringLiteral(":/command/101.bmp"));
        if (image.isNull()) {
            throw ConfluxError(ErrorNumber::FileNotFound,
                               QStringLiteral("Resource with identifier '101' not found"));
        }
        m_pBitmap = std::make_unique<Picture>(image);
    });
}

void ClsConflux::Class_Terminate() {
    guarded("Class_Terminate", [this] {
        m_pBitmap.reset();
        m_pGxApp.reset();
        frmConflux::instance().Unload();
    });
}

bool ClsConflux::Enabled() {
    return guarded("ICommand_Enabled", false, [] { return true; });
}

bool ClsConflux::Checked() {
    return guarded("ICommand_Checked", false, [] { return false; });
}

QString ClsConflux::Name() {
    return guarded("ICommand_Name", QString(), [] { return QStringLiteral("Conflux"); });
}

QString ClsConflux::Caption() {
    return guarded("ICommand_Caption", QString(), [] { return QStringLiteral("Conflux"); });
}

QString ClsConflux::Tooltip() {
    return guarded("ICommand_Tooltip", QString(), [] { return QStringLiteral("Conflux"); });
}

QString ClsConflux::Message() {
    return guarded("ICommand_Message", QString(), [] { return QStringLiteral("Conflux"); });
}

QString ClsConflux::HelpFile() {
    return QString();
}

std::int32_t ClsConflux::HelpContextID() {
    return 0;
}

std::int32_t ClsConflux::Bitmap() {
    return guarded("ICommand_Bitmap", std::int32_t{0}, [this] {
        if (!m_pBitmap) {
            throw ConfluxError(ErrorNumber::ObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        }
        return m_pBitmap->handle();
    });
}

QString ClsConflux::Category() {
    return guarded("ICommand_Category", QString(), [] { return QStringLiteral("Orvantis"); });
}

void ClsConflux::OnCreate(const ObjectRef& hook) {
    guarded("ICommand_OnCreate", [this, &hook] {
        auto application = takeAs<IApplication>(hook);
        m_pGxApp = takeAs<IGxApplication>(hook);
        frmConflux::instance().state().m_pApp = application;
    });
}

void ClsConflux::OnClick() {
    guarded("ICommand_OnClick", [] { frmConflux::instance().Show(); });
}
