#pragma once

#include <QString>

// Text to the standard streams, UTF-8, each message ending with a line feed. CRLF inside a
// message (the dialog's texts use it) becomes the platform's line end. A path's bytes that are
// not UTF-8 (kept by FileNameCodec) go out as they are, so a printed path names its file.
namespace Console {

void out(const QString& line);
void err(const QString& line);
// Writes as is, no line end added, flushed at once (progress redraws). A message written with
// err() after a line left open starts a line of its own.
void errRaw(const QString& text);
bool stderrIsTerminal();

}  // namespace Console
