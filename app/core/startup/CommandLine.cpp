#include "CommandLine.h"

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// Each export for scripts and the options it takes besides its file.
struct ScriptExportOptions {
    const char *command;
    std::vector<const char *> options;
};
const ScriptExportOptions ScriptExports[] = {
    {"--export-log", {"--since", "--until", "--setup", "--format"}},
    {"--export-spc", {"--channel", "--subgroup", "--baseline", "--since", "--until", "--setup"}},
    {"--export-study", {"--study"}},
};

bool takes(const ScriptExportOptions &script, const QString &word) {
    return std::any_of(script.options.begin(), script.options.end(),
                       [&word](const char *option) { return word == QLatin1String(option); });
}

bool isScriptWord(const QString &word) {
    return std::any_of(std::begin(ScriptExports), std::end(ScriptExports),
                       [&word](const ScriptExportOptions &script) {
                           return word == QLatin1String(script.command) || takes(script, word);
                       });
}

// "--since is used only with --export-log FILE or --export-spc FILE."
QString withoutItsExport(const QString &option) {
    QStringList exports;
    for (const ScriptExportOptions &script : ScriptExports) {
        if (takes(script, option))
            exports << QStringLiteral("%1 FILE").arg(QLatin1String(script.command));
    }
    return QStringLiteral("%1 is used only with %2.")
        .arg(option, exports.join(QStringLiteral(" or ")));
}

} // namespace

QString CommandLine::ScriptExport::value(const char *option) const {
    return given(option).value_or(QString());
}

std::optional<QString> CommandLine::ScriptExport::given(const char *option) const {
    const auto found = values.find(QLatin1String(option));
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

std::optional<CommandLine::ScriptExport> CommandLine::scriptExport() const {
    if (std::none_of(m_arguments.begin(), m_arguments.end(), isScriptWord))
        return std::nullopt;
    ScriptExport words;
    auto fail = [&words](const QString &mistake) {
        if (words.mistake.isEmpty())
            words.mistake = mistake;
    };
    // The first export named is the one run.
    const ScriptExportOptions *script = nullptr;
    for (const QString &word : m_arguments) {
        const auto named = std::find_if(
            std::begin(ScriptExports), std::end(ScriptExports),
            [&word](const ScriptExportOptions &s) { return word == QLatin1String(s.command); });
        if (named == std::end(ScriptExports) || named == script)
            continue;
        if (script) {
            fail(QStringLiteral("Only one export at a time: %1 and %2.")
                     .arg(QLatin1String(script->command), word));
            continue;
        }
        script = named;
        words.command = word;
    }
    for (qsizetype i = 0; i < m_arguments.size(); ++i) {
        const QString &word = m_arguments[i];
        const bool isFile = word == words.command;
        if (!isFile && !isScriptWord(word)) {
            fail(QStringLiteral("\"%1\" is not an option of %2.")
                     .arg(word, script ? words.command : QStringLiteral("an export")));
            continue;
        }
        if (!script)
            fail(withoutItsExport(word));
        else if (!isFile && !takes(*script, word))
            fail(QStringLiteral("%1 is not an option of %2.").arg(word, words.command));
        if (isFile ? !words.file.isNull() : words.values.count(word) != 0)
            fail(QStringLiteral("%1 is given twice.").arg(word));
        if (i + 1 >= m_arguments.size()) {
            fail(QStringLiteral("%1 needs a value.").arg(word));
            break;
        }
        const QString &value = m_arguments[++i];
        if (isFile)
            words.file = value;
        else
            words.values[word] = value;
    }
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
        "  --export-spc FILE --channel N\n"
        "                     write channel N's SPC figures to FILE as CSV and exit, no window:\n"
        "    --subgroup K       parts in a subgroup (else the size last chosen)\n"
        "    --baseline K       limits from the first K subgroups (else the frozen ones)\n"
        "    --setup NAME       parts of this setup file (else the newest part's)\n"
        "    --since, --until   as for --export-log\n"
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
