#include "exchange_log.h"

namespace qorsim {

std::string readableBytes(std::string_view bytes) {
    std::string out;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

ExchangeLog::~ExchangeLog() {
    if (file_)
        std::fclose(file_);
}

bool ExchangeLog::open(const std::string &path) {
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

void ExchangeLog::write(double seconds, std::string_view request, std::string_view reply) {
    if (!file_)
        return;
    std::fprintf(file_, "%.6f %s -> %s\n", seconds, readableBytes(request).c_str(),
                 reply.empty() ? "(none)" : readableBytes(reply).c_str());
    std::fflush(file_);
}

} // namespace qorsim
