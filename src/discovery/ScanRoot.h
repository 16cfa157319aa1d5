#pragma once

#include <QString>

// Whether a scan may start at strStartDir: some file system entry (folder or file) answers to
// it. An empty text passes this test; the scan then finds nothing without a message.
bool scanRootAnswers(const QString& strStartDir);

// The message shown when the root folder does not answer.
inline QString missingScanRootText() {
    return QStringLiteral("Проверьте существование корневой директории");
}

// The scan's result text: "Выбрано: " n " файл(ов)", or "Файлов нет!" for 0.
QString scanResultText(qsizetype found);
