// The library's exported entry points, through which a host creates the command and asks
// whether the library may be unloaded.

#include "command/ClsConflux.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {
constexpr std::int32_t S_OK_ = 0;
constexpr std::int32_t S_FALSE_ = 1;
constexpr std::int32_t CLASS_E_CLASSNOTAVAILABLE_ = static_cast<std::int32_t>(0x80040111u);
constexpr std::int32_t E_POINTER_ = static_cast<std::int32_t>(0x80004003u);
constexpr std::int32_t E_OUTOFMEMORY_ = static_cast<std::int32_t>(0x8007000Eu);
}  // namespace

extern "C" {

// Creates the class named `className` ("ClsConflux" or "Conflux2_v9.ClsConflux"). The caller
// owns the command and releases it with `delete` (through ICommand's virtual destructor).
__attribute__((visibility("default"))) std::int32_t DllGetClassObject(const char* className,
                                                                      ICommand** command) {
    if (command == nullptr) {
        return E_POINTER_;
    }
    *command = nullptr;
    if (className == nullptr || (std::strcmp(className, "ClsConflux") != 0 &&
                                 std::strcmp(className, "Conflux2_v9.ClsConflux") != 0)) {
        return CLASS_E_CLASSNOTAVAILABLE_;
    }
    *command = new (std::nothrow) ClsConflux();
    return *command != nullptr ? S_OK_ : E_OUTOFMEMORY_;
}

// S_OK when no command object is alive, so the host may unload the library.
__attribute__((visibility("default"))) std::int32_t DllCanUnloadNow() {
    return ClsConflux::liveCount() == 0 ? S_OK_ : S_FALSE_;
}

// Nothing to register on this platform: the desktop host finds the library beside itself.
__attribute__((visibility("default"))) std::int32_t DllRegisterServer() {
    return S_OK_;
}

__attribute__((visibility("default"))) std::int32_t DllUnregisterServer() {
    return S_OK_;
}
}
