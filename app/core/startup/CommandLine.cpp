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

std::optional<CommandLine::ExportLog> CommandLine::exportLog() const {
    struct ValueOption {
        const char *name;
        QString ExportLog::*text;
    };
    static const ValueOption options[] = {
        {"--export-log", &ExportLog::file}, {"--since", &ExportLog::since},
        {"--until", &ExportLog::until},     {"--setup", nullptr},
        {"--format", &ExportLog::format},
    };
    ExportLog words;
    QStringList seen;
    auto fail = [&words](const QString &mistake) {
        if (words.mistake.isEmpty())
            words.mistake = mistake;
    };
    for (qsizetype i = 0; i < m_arguments.size(); ++i) {
        const QString &word = m_arguments[i];
        const auto option =
            std::find_if(std::begin(options), std::end(options),
                         [&word](const ValueOption &o) { return word == QLatin1String(o.name); });
        if (option == std::end(options)) {
            fail(QStringLiteral("\"%1\" is not an option of --export-log.").arg(word));
            continue;
        }
        if (seen.contains(word))
            fail(QStringLiteral("%1 is given twice.").arg(word));
        seen << word;
        if (i + 1 >= m_arguments.size()) {
            fail(QStringLiteral("%1 needs a value.").arg(word));
            break;
        }
        const QString &value = m_arguments[++i];
        if (option->text)
            words.*(option->text) = value;
        else
            words.setup = value;
    }
    if (seen.isEmpty())
        return std::nullopt;
    if (!seen.contains(QLatin1String("--export-log")))
        words.mistake = QStringLiteral("%1 is used only with --export-log FILE.").arg(seen.first());
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
        "  --export-log FILE  write the measurement log to FILE as CSV and exit, no window:\n"
        "    --since ISO        parts from this time on (2026-12-07 or 2026-12-07T18:54Z)\n"
        "    --until ISO        parts before this time\n"
        "    --setup NAME       parts of this setup file only\n"
        "    --format wide|long one row per part (wide, the default) or per value (long)\n"
        "  --help             show this help and exit\n"
        "  --version          show the version and exit\n"
        "\n"
        "The first three options count anywhere in the line and in any letter case; the others\n"
        "only as whole words in capitals. Only the first ten words are looked at.\n"
        "Settings: $XDG_CONFIG_HOME/QorView/QorView.ini. Ports: "
        "$XDG_CONFIG_HOME/qorlink/ports.conf\n"
        "or QORLINK_COM1 ... QORLINK_COM6.\n");
}
