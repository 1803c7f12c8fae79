#include "CommandLine.h"

#include <algorithm>
#include <utility>

CommandLine::CommandLine(QStringList arguments) : m_arguments(std::move(arguments)) {}

bool CommandLine::containsStartupOption(const QString &option) const {
    return text().contains(option, Qt::CaseInsensitive);
}

bool CommandLine::isOptionWord(const QString &word) {
    if (word.size() < 2 || word.front() != QLatin1Char('/'))
        return false;
    return std::all_of(word.begin() + 1, word.end(), [](QChar c) { return c.isLetter(); });
}

CommandLine::MainWindowOptions CommandLine::mainWindowOptions() const {
    MainWindowOptions options;
    const qsizetype count = std::min<qsizetype>(m_arguments.size(), MaxWords);
    for (qsizetype i = 0; i < count; ++i) {
        const QString &word = m_arguments[i];
        if (word.isEmpty())
            continue;
        if (!isOptionWord(word)) {
            options.setupFileName = word;
        } else if (word == QLatin1String("/BARS")) {
            options.bars = true;
        } else if (word == QLatin1String("/NUMS")) {
            options.nums = true;
        } else if (word == QLatin1String("/LVDT")) {
            options.viewMode = View::Probes;
        } else if (word == QLatin1String("/CHAN")) {
            options.viewMode = View::Channels;
        }
    }
    return options;
}

std::optional<CommandLine::ExportStudy> CommandLine::exportStudy() const {
    const QString fileOption = QStringLiteral("--export-study");
    const QString studyOption = QStringLiteral("--study");
    if (!m_arguments.contains(fileOption) && !m_arguments.contains(studyOption))
        return std::nullopt;
    ExportStudy words;
    const auto fail = [&words](const QString &mistake) {
        if (words.mistake.isEmpty())
            words.mistake = mistake;
    };
    QStringList seen;
    for (qsizetype i = 0; i < m_arguments.size(); ++i) {
        const QString &word = m_arguments[i];
        if (word != fileOption && word != studyOption) {
            fail(QStringLiteral("\"%1\" is not an option of --export-study.").arg(word));
            continue;
        }
        if (seen.contains(word))
            fail(QStringLiteral("%1 is given twice.").arg(word));
        seen << word;
        if (i + 1 >= m_arguments.size()) {
            fail(QStringLiteral("%1 needs a value.").arg(word));
            break;
        }
        (word == fileOption ? words.file : words.study) = m_arguments[++i];
    }
    if (!seen.contains(fileOption))
        words.mistake = QStringLiteral("--study is used only with --export-study FILE.");
    return words;
}

bool CommandLine::asksForHelp() const {
    return m_arguments.contains(QLatin1String("--help"));
}

bool CommandLine::asksForVersion() const {
    return m_arguments.contains(QLatin1String("--version"));
}

QString CommandLine::usageText() {
    return QStringLiteral(
        "Usage: qorview [OPTION]... [SETUP-FILE]\n"
        "The gauge station for the QOR-128 measuring unit.\n"
        "\n"
        "  /COMMSETUP         run the connection wizard before connecting\n"
        "  /ENABLESETUP       enable the Setup menu (also on later runs)\n"
        "  /SPECIALCALIBRATE  offer amplifier profiles in the calibration window\n"
        "  /BARS              open the bar display at start\n"
        "  /NUMS              open the numeric display at start\n"
        "  /LVDT              start in the probe view\n"
        "  /CHAN              start in the channel view\n"
        "  SETUP-FILE         setup file to load at start (the last one named wins)\n"
        "  --export-study FILE --study ID\n"
        "                     write gauge study ID's figures and readings to FILE as CSV\n"
        "                     and exit, no window\n"
        "  --help             show this help and exit\n"
        "  --version          show the version and exit\n"
        "\n"
        "The first three options count anywhere in the line and in any letter case; the others\n"
        "only as whole words in capitals. Only the first ten words are looked at.\n"
        "Settings: $XDG_CONFIG_HOME/QorView/QorView.ini. Ports: "
        "$XDG_CONFIG_HOME/qorlink/ports.conf\n"
        "or QORLINK_COM1 ... QORLINK_COM6.\n");
}
