// --log: one line per exchange with the time, the request and the reply in readable escapes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qorsim {

// Printable ASCII as it is (backslash doubled), \r, \n, \t, and \xNN for the rest.
std::string readableBytes(std::string_view bytes);

class ExchangeLog {
public:
    ExchangeLog() = default;
    ExchangeLog(const ExchangeLog &) = delete;
    ExchangeLog &operator=(const ExchangeLog &) = delete;
    ~ExchangeLog();

    // Opens (appends to) path; false with errno set when it cannot.
    bool open(const std::string &path);
    // seconds: the unit's clock. An empty reply is logged as "(none)".
    void write(double seconds, std::string_view request, std::string_view reply);

private:
    std::FILE *file_ = nullptr;
};

} // namespace qorsim
