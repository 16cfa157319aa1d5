#pragma once

#include "host/Application.h"
#include "host/ICommand.h"

#include <cstdint>
#include <memory>

// The command the host lists as "Conflux": fixed texts, a picture, and a click that opens the
// merge dialog. It holds no merge logic.
class ClsConflux : public ICommand {
public:
    ClsConflux();
    ~ClsConflux() override;
    ClsConflux(const ClsConflux&) = delete;
    ClsConflux& operator=(const ClsConflux&) = delete;

    bool Enabled() override;
    bool Checked() override;
    QString Name() override;
    QString Caption() override;
    QString Tooltip() override;
    QString Message() override;
    QString HelpFile() override;
    std::int32_t HelpContextID() override;
    std::int32_t Bitmap() override;
    QString Category() override;
    void OnCreate(const ObjectRef& hook) override;
    void OnClick() override;

    // Live command objects, so the library knows when it may be unloaded.
    static int liveCount();

private:
    void Class_Initialize();
    void Class_Terminate();

    // The picture handle stays registered while the command holds it.
    class Picture;

    std::shared_ptr<IGxApplication> m_pGxApp;
    std::unique_ptr<Picture> m_pBitmap;
};
