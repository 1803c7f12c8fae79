#include "nvstate.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace qorsim {

namespace {

constexpr const char *kHeader = "qorsim-state 1";

// Texts are written as one token: blanks, controls, '%' and bytes above 0x7E as %XX.
std::string escape(const std::string &text) {
    std::string out = text.empty() ? "%" : "";
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c <= 0x20 || c == '%' || c >= 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string unescape(const std::string &token) {
    if (token == "%")
        return {};
    std::string out;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '%' && i + 2 < token.size()) {
            out += static_cast<char>(std::stoi(token.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += token[i];
        }
    }
    return out;
}

void writeSetup(std::ostream &out, const std::string &name, const Setup &s) {
    const Settings &g = s.settings;
    out << "setup " << escape(name) << "\n"
        << "settings " << g.channelCount << ' ' << g.scanTime << ' ' << g.adcAverage << ' '
        << g.runAverage << ' ' << g.precision << ' ' << g.fpIn << ' ' << g.fpOut << ' ' << g.muxTime
        << "\n";
    const ChannelConfig blank;
    for (std::size_t i = 0; i < s.channels.size(); ++i) {
        const ChannelConfig &c = s.channels[i];
        if (c.formula == blank.formula && c.description == blank.description &&
            c.czero == blank.czero && c.cscale == blank.cscale && c.master1 == 0 &&
            c.master2 == 0 && c.useTwoMasters == 0 && c.barTop == 0 && c.barBottom == 0 &&
            c.hiApproach == 0 && c.hiTolerance == 0 && c.loTolerance == 0 && c.loApproach == 0)
            continue;
        out << "channel " << i + 1 << ' ' << c.czero << ' ' << c.cscale << ' ' << c.master1 << ' '
            << c.master2 << ' ' << c.useTwoMasters << ' ' << c.barTop << ' ' << c.barBottom << ' '
            << c.hiApproach << ' ' << c.hiTolerance << ' ' << c.loTolerance << ' ' << c.loApproach
            << ' ' << escape(c.formula) << ' ' << escape(c.description) << "\n";
    }
    for (std::size_t i = 0; i < s.probes.size(); ++i)
        out << "probe " << i + 1 << ' ' << s.probes[i].tfsv << ' ' << s.probes[i].tzero << "\n";
    for (std::size_t i = 0; i < s.analogs.size(); ++i)
        out << "analog " << i + 1 << ' ' << s.analogs[i].afsv << ' ' << s.analogs[i].azero << "\n";
    out << "end\n";
}

template <typename T> T &slot(std::vector<T> &v, long index) {
    if (index < 1 || index > 255)
        throw std::out_of_range("index");
    if (v.size() < static_cast<std::size_t>(index))
        v.resize(static_cast<std::size_t>(index));
    return v[static_cast<std::size_t>(index - 1)];
}

} // namespace

bool loadNonVolatile(const std::string &path, NonVolatile &out, std::string &error) {
    out = NonVolatile();
    std::ifstream in(path);
    if (!in) {
        if (errno == ENOENT)
            return true;
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string line;
    int lineNo = 0;
    Setup *setup = nullptr;
    try {
        while (std::getline(in, line)) {
            ++lineNo;
            std::istringstream words(line);
            std::string key;
            words >> key;
            if (lineNo == 1) {
                if (line != kHeader)
                    throw std::runtime_error("not a qorsim state file");
                continue;
            }
            long n = 0;
            if (key == "amplifier") {
                Amplifier a;
                words >> n >> a.rf >> a.ri >> a.fine >> a.null;
                if (words)
                    out.amplifiers[static_cast<int>(n)] = a;
            } else if (key == "frequency") {
                int v = 0;
                words >> n >> v;
                if (words)
                    out.frequencies[static_cast<int>(n)] = v;
            } else if (key == "setup") {
                std::string name;
                words >> name;
                setup = &out.setups[unescape(name)];
            } else if (key == "end") {
                setup = nullptr;
            } else if (setup && key == "settings") {
                Settings &g = setup->settings;
                words >> g.channelCount >> g.scanTime >> g.adcAverage >> g.runAverage >>
                    g.precision >> g.fpIn >> g.fpOut >> g.muxTime;
            } else if (setup && key == "channel") {
                words >> n;
                ChannelConfig &c = slot(setup->channels, n);
                std::string formula, description;
                words >> c.czero >> c.cscale >> c.master1 >> c.master2 >> c.useTwoMasters >>
                    c.barTop >> c.barBottom >> c.hiApproach >> c.hiTolerance >> c.loTolerance >>
                    c.loApproach >> formula >> description;
                c.formula = unescape(formula);
                c.description = unescape(description);
            } else if (setup && key == "probe") {
                words >> n;
                ProbeScaling &p = slot(setup->probes, n);
                words >> p.tfsv >> p.tzero;
            } else if (setup && key == "analog") {
                words >> n;
                AnalogScaling &a = slot(setup->analogs, n);
                words >> a.afsv >> a.azero;
            } else if (!key.empty()) {
                throw std::runtime_error("unknown line");
            }
            if (words.fail() && !key.empty() && key != "end")
                throw std::runtime_error("malformed line");
        }
    } catch (const std::exception &e) {
        error = path + ":" + std::to_string(lineNo) + ": " + e.what();
        return false;
    }
    return true;
}

bool saveNonVolatile(const std::string &path, const NonVolatile &nv, std::string &error) {
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out.precision(17);
        out << kHeader << "\n";
        for (const auto &[probe, a] : nv.amplifiers)
            out << "amplifier " << probe << ' ' << a.rf << ' ' << a.ri << ' ' << a.fine << ' '
                << a.null << "\n";
        for (const auto &[index, value] : nv.frequencies)
            out << "frequency " << index << ' ' << value << "\n";
        for (const auto &[name, setup] : nv.setups)
            writeSetup(out, name, setup);
        out.flush();
        if (!out) {
            error = temp + ": " + std::strerror(errno);
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace qorsim
