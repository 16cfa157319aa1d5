#include "BashCompletion.h"
#include "HelpDocument.h"
#include "ManPage.h"
#include "ProgramHelp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// A help shaped like the program's, with the kinds of options it is expected to grow: a flag,
// free text, a folder, spelled-out values, and an option whose text runs over two lines.
const char* const kGeneral = R"(Usage: tool                 start the desktop
       tool COMMAND [ARGS]   run without a desktop
       tool --help | --version

Commands:
  load    load things

Exit status:
  0    done
  11   the database refused the connection
       (second line)
)";

const char* const kLoad = R"(Usage: tool load ROOT --mode fast|safe [--pg CONNINFO]
                 [--into FOLDER] [--create]

Loads what ROOT holds (--mode says how).

  ROOT                 the root
  --mode M             fast or safe
  --pg CONNINFO        a PostgreSQL connection
  --into FOLDER        where to write,
                       a folder
  --create             create it first
)";

ProgramHelp sampleHelp() {
    ProgramHelp help;
    help.general = HelpDocument::parse(QString::fromUtf8(kGeneral));
    help.commands.append({QStringLiteral("load"), HelpDocument::parse(QString::fromUtf8(kLoad))});
    return help;
}

TEST(HelpDocument, TakesTheHelpApart) {
    const ProgramHelp help = sampleHelp();
    const HelpDocument& load = help.commands.first().second;
    ASSERT_EQ(load.usage.size(), 1);
    EXPECT_EQ(load.usage[0].line,
              "tool load ROOT --mode fast|safe [--pg CONNINFO] [--into FOLDER] [--create]");
    EXPECT_EQ(load.paragraphs, QStringList{"Loads what ROOT holds (--mode says how)."});
    ASSERT_EQ(load.options().size(), 4);
    EXPECT_EQ(load.options()[2].option(), "--into");
    EXPECT_EQ(load.options()[2].argument(), "FOLDER");
    EXPECT_EQ(load.options()[2].text, "where to write, a folder");
    EXPECT_EQ(load.options()[3].argument(), "");
    ASSERT_EQ(load.positionals().size(), 1);
    EXPECT_EQ(load.positionals()[0].term, "ROOT");

    EXPECT_EQ(help.program(), "tool");
    EXPECT_EQ(help.general.usage.size(), 3);
    EXPECT_EQ(help.globalOptions(), (QStringList{"--help", "--version"}));
    const auto statuses = help.general.list(QStringLiteral("Exit status"));
    ASSERT_EQ(statuses.size(), 2);
    EXPECT_EQ(statuses[1].text, "the database refused the connection (second line)");
}

TEST(ManPage, ListsEveryOptionAndStatus) {
    const QString page = ManPage::write(
        QStringLiteral(".TH T 1 \"@DATE@\" \"@VERSION@\"\n@SYNOPSIS@\n@COMMANDS@\n@EXIT_STATUS@\n"),
        sampleHelp(), QStringLiteral("1.2"), QStringLiteral("2025-12-06"));
    EXPECT_TRUE(page.startsWith(".TH T 1 \"2025-12-06\" \"1.2\"\n"));
    for (const char* expected :
         {"\\fB\\-\\-pg\\fR \\fICONNINFO\\fR\n", "\\fB\\-\\-create\\fR\n", "\\fIROOT\\fR\n",
          ".SS \"tool load\"\n", "\\fB11\\fR\nthe database refused the connection (second line)",
          "\\fBload\\fR \\fIROOT\\fR \\fB\\-\\-mode\\fR \\fBfast\\fR|\\fBsafe\\fR "
          "[\\fB\\-\\-pg\\fR\\ \\fICONNINFO\\fR]",
          "Loads what ROOT holds (\\fB\\-\\-mode\\fR says how)."})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << page.toStdString();
}

// Runs the completion written from the sample help in bash, completing `words` (the last one
// being typed) in `folder`.
QString complete(const QString& script, const QString& folder, const QString& words) {
    QProcess bash;
    bash.setWorkingDirectory(folder);
    bash.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"),
         script + QStringLiteral("\nCOMP_WORDS=(tool %1); COMP_CWORD=$((${#COMP_WORDS[@]} - 1));"
                                 " _conflux; printf '%s ' \"${COMPREPLY[@]}\"")
                      .arg(words)});
    bash.waitForFinished();
    return QString::fromUtf8(bash.readAllStandardOutput()).trimmed();
}

TEST(BashCompletion, FollowsWhatEachArgumentIs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
    QFile file(QStringLiteral(CONFLUX_SOURCE_DIR "/data/conflux.bash.in"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString script = BashCompletion::write(QString::fromUtf8(file.readAll()), sampleHelp());
    const struct {
        const char* name;
        const char* words;
        const char* expected;
    } cases[] = {
        {"commands", "''", "load --help --version"},
        {"options", "load out --", "--mode --pg --into --create --help"},
        {"spelled-out values", "load out --mode ''", "fast safe"},
        {"free text", "load out --pg ''", ""},
        {"a folder", "load out --into o", "out"},
        {"a flag takes no argument", "load --create o", "out"},
        {"the root after free text", "load --pg x o", "out"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(complete(script, dir.path(), QString::fromUtf8(c.words)), c.expected) << c.name;
}

}  // namespace
