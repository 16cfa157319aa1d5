#pragma once

#include <QString>

// Whether a scan may start at strStartDir: it names a folder (a link to one counts). A file or
// anything else answers as a missing root does. An empty text passes this test; the scan then
// finds nothing without a message.
bool scanRootAnswers(const QString& strStartDir);

// The message shown when the root folder does not answer.
inline QString missingScanRootText() {
    return QStringLiteral("Проверьте существование корневой директории");
}

// The scan's result text: "Выбрано: " n " файл(ов)", or "Файлов нет!" for 0.
QString scanResultText(qsizetype found);
