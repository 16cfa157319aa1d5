#pragma once

#include <QString>

// One field of a TAB-separated output line. File names may hold any character but "/", so
// TAB, line feed, carriage return and backslash are written as "\t", "\n", "\r" and "\\"; a
// line then always reads back as the same fields.
QString escapeField(const QString& field);
