#include "errors/ConfluxError.h"

ConfluxError::ConfluxError(std::int32_t number, const QString& description, std::int32_t line)
    : std::runtime_error(description.toStdString()),
      m_number(number),
      m_description(description),
      m_line(line) {}
