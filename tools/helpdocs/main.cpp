// Writes the manual page or the bash completion from the program's own --help texts, so that
// neither can disagree with what `conflux --help` prints.
//   conflux_helpdocs man TEMPLATE OUTPUT VERSION DATE
//   conflux_helpdocs bash TEMPLATE OUTPUT

#include "BashCompletion.h"
#include "ManPage.h"
#include "ProgramHelp.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <stdexcept>

namespace {

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(file.readAll());
}

void writeText(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
}

int usage() {
    std::fputs(
        "usage: conflux_helpdocs man TEMPLATE OUTPUT VERSION DATE\n"
        "       conflux_helpdocs bash TEMPLATE OUTPUT\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool man = args.value(0) == QStringLiteral("man") && args.size() == 5;
    const bool bash = args.value(0) == QStringLiteral("bash") && args.size() == 3;
    if (!man && !bash)
        return usage();
    try {
        const ProgramHelp help = ProgramHelp::read();
        const QString templateText = readText(args[1]);
        writeText(args[2], man ? ManPage::write(templateText, help, args[3], args[4])
                               : BashCompletion::write(templateText, help));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "conflux_helpdocs: %s\n", error.what());
        return 1;
    }
    return 0;
}
