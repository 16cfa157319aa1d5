#include "cli/Console.h"

#include "platform/FileNameCodec.h"

#include <unistd.h>
#include <cstdio>

namespace {

bool g_errLineOpen = false;  // a progress line was left without its end

void write(std::FILE* stream, const QString& line) {
    QString text = line;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = FileNameCodec::encode(text) + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

namespace Console {

void out(const QString& line) {
    write(stdout, line);
}

void err(const QString& line) {
    if (g_errLineOpen) {  // a message never continues a progress line
        std::fputc('\n', stderr);
        g_errLineOpen = false;
    }
    write(stderr, line);
}

void errRaw(const QString& text) {
    const QByteArray bytes = FileNameCodec::encode(text);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    if (!text.isEmpty()) {
        g_errLineOpen = !text.endsWith(u'\n');
    }
}

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace Console
