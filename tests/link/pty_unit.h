// The unit's side of a pseudo-terminal pair: the link opens the slave as its COM port, the test
// reads the requests and writes the replies on the master.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

class PtyUnit {
public:
    // Opens a pty pair and maps COM `port` to its slave through QORLINK_COM<port>.
    explicit PtyUnit(int port = 7);
    ~PtyUnit();
    PtyUnit(const PtyUnit &) = delete;
    PtyUnit &operator=(const PtyUnit &) = delete;

    const std::string &slave_path() const { return slave_path_; }
    int master() const { return master_; }
    int port() const { return port_; }

    void send(const Bytes &bytes) const;
    void send(const std::string &text) const;
    // Closes the master: the unit has gone.
    void hang_up();
    // Reads one protocol-0 request (header and announced payload); empty after 2 s without one.
    Bytes read_frame() const;
    // Reads one protocol-1 request up to and including its carriage return.
    std::string read_line() const;

private:
    bool read_exact(uint8_t *out, std::size_t count) const;

    int master_ = -1;
    int port_;
    std::string slave_path_;
};

// A framed reply: header byte, error number, payload length, payload.
Bytes frame_reply(uint8_t error, const Bytes &payload);
// A protocol-1 reply line: "~", the text, carriage return.
std::string line_reply(const std::string &text);
Bytes real_bytes(float value);
