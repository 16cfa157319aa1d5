#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

// The one error that crosses procedures: a signed 32-bit number, a description and the
// source line of the failing statement (0 when unknown). Reporting procedures catch it at
// their boundary; procedures without a handler let it pass to their caller.
class ConfluxError : public std::runtime_error {
public:
    ConfluxError(std::int32_t number, const QString& description, std::int32_t line = 0);

    std::int32_t number() const { return m_number; }
    const QString& description() const { return m_description; }
    std::int32_t line() const { return m_line; }

private:
    std::int32_t m_number;
    QString m_description;
    std::int32_t m_line;
};

// Error numbers the system raises itself; host failures carry COM-style negative codes.
namespace ErrorNumber {
inline constexpr std::int32_t InvalidProcedureCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t InvalidPattern = 93;
inline constexpr std::int32_t HostFailure = static_cast<std::int32_t>(0x80004005u);  // E_FAIL
}  // namespace ErrorNumber
